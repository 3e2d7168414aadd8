#pragma once
// The parameter set a virtual controller holds: a standard controller's 1024-byte block,
// or an FOC controller's identity section plus its 32-byte block.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ControllerKind.h"
#include "Identity.h"

namespace sim {

struct ControllerSet {
    static constexpr int kBlockSize = 1024;
    static constexpr int kFocSize = 32;

    dt::ControllerKind kind = dt::ControllerKind::Standard;
    std::array<uint8_t, kBlockSize> block{};   // four sections of 128 big-endian words
    std::array<uint8_t, kFocSize> focBlock{};  // FOC only: bytes and little-endian words

    // What the kind of controller holds and answers, by its device record.
    // The bytes block n of a read returns; null for a block the controller does not hold.
    const uint8_t* ReadData(int n) const;
    // Where a written block n goes; null for a block the controller does not take.
    uint8_t* WriteTarget(int n);
    // The block whose read ends a read.
    int LastReadBlock() const;
    // The bytes a download writes, in the order written.
    std::vector<uint8_t> WrittenBytes() const;
    // Whether the identity carries a model word and calibration words (a batch seeds them).
    bool Calibrated() const;
    // "FOC controller", "standard controller, ModelWord 0x052C (customer 1, version 300)".
    std::string Describe() const;
    // "section 2 block 1", "identity", "FOC block" ... for block code n.
    std::string BlockName(int n) const;

    // Word index as the parameter tables use it: word i mod 100 of section i div 100.
    uint16_t Word(int index) const;
    void SetWord(int index, uint16_t value);
    uint16_t ModelWord() const { return Word(dt::kIdWordModel); }

    uint16_t FocWord(int offset) const;
    void SetFocWord(int offset, uint16_t value);
};

// Byte offset in the 1024-byte block of the 32-byte block that code 0x10+n / 0x20+n names,
// or -1 for an unused code.
int BlockOffset(int n);

// The default controllers.
enum class Variant { A, B };
ControllerSet StandardController(Variant variant);
ControllerSet FocController();
// The default controller of a kind (variant: a standard one's).
ControllerSet BuiltInController(dt::ControllerKind kind, Variant variant);

// Identity section of the FOC controller (words 0..127 of section 0).
void SetFocIdentity(ControllerSet& set);

// Loads a .foc (>= 1024 bytes) or .ged (>= 32 bytes, FOC) file; false with a reason on failure.
bool LoadSetFile(const std::string& path, ControllerSet& set, std::string& error);
// Writes the set as .foc (standard) or .ged (FOC); the extension must match the kind.
bool WriteSetFile(const std::string& path, const ControllerSet& set, std::string& error);

}  // namespace sim
