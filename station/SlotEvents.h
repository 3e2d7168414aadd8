#pragma once
// What a station's slot tells whoever presents it (the command line, the station window): where
// its unit stands, and each attempt as it ends.
#include <string>

#include "Attempt.h"

namespace dt::station {

enum class SlotState {
    Waiting,    // for a unit to answer
    Reading,    // the unit's set, before anything is written
    Writing,    // block `block` of `blocks`
    Verifying,  // stored; the written blocks are read back
    Ended,      // the attempt's outcome and cause are known
    Remove,     // waiting for the unit to be taken away (it stops answering)
    Stopped,    // the slot takes no more units
};

struct SlotStatus {
    SlotState state = SlotState::Waiting;
    int block = 0;
    int blocks = 0;
    record::Outcome outcome = record::Outcome::Started;
    std::string cause;
};

// Per slot, since the station started.
struct SlotCounts {
    int passed = 0;
    int failed = 0;  // fail, error and interrupted alike
};

class SlotListener {
public:
    virtual ~SlotListener() = default;
    virtual void OnSlotStatus(int slot, const SlotStatus& status) { (void)slot, (void)status; }
    // Once its start is recorded, before anything is sent to the unit.
    virtual void OnAttemptBegun(int slot, const record::Attempt& a) { (void)slot, (void)a; }
    // Once its outcome is final (and recorded).
    virtual void OnAttemptEnded(int slot, const record::Attempt& a) { (void)slot, (void)a; }
};

}  // namespace dt::station
