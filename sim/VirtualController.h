#pragma once
// What the controller does with each request: the reply it sends and the set it keeps.
#include <cstdint>
#include <string>
#include <vector>

#include "ControllerSet.h"
#include "Frame.h"

namespace sim {

// Failure modes that change what the controller answers (the wire-level ones live in ReplyWriter).
struct ControllerBehaviour {
    bool silent = false;           // never answers
    long answer00 = 0;             // the first N connect requests are answered 0x00
    bool failStore = false;        // a store is answered 0x04 and changes nothing
    bool shortBlock = false;       // block replies carry 16 bytes
    bool silentAfterRead = false;  // answers until the last block of a read, then nothing more
    bool dropWrite = false;        // the first block written is acknowledged, its bytes discarded
};

struct Reply {
    std::vector<uint8_t> frame;  // empty: no answer
    std::string request;         // what the request asked, for the log
    std::string answer;          // what the reply carries, for the log
};

// Reads answer the stored set. Writes are kept in a working copy that a store (0x80) makes the
// stored set; after 0x81 the next store brings back the factory set instead.
class VirtualController {
public:
    VirtualController(const ControllerSet& factory, const ControllerBehaviour& behaviour);

    Reply Handle(const Frame& request);

    const ControllerSet& stored() const { return stored_; }
    bool restorePending() const { return restorePending_; }

private:
    Reply Answer(const Frame& request);
    Reply ReadBlock(int n, Reply reply) const;
    Reply WriteBlock(int n, const Frame& request, Reply reply);

    ControllerSet factory_;
    ControllerSet stored_;
    ControllerSet working_;
    ControllerBehaviour behaviour_;
    bool restorePending_ = false;
    bool readDone_ = false;
    long zeroAnswers_ = 0;
    bool writeDropped_ = false;
};

}  // namespace sim
