#pragma once
// A batch of controllers of one model, as an assembly line holds them: each on its own terminal,
// each with its own calibration, taken away and put in from a control on standard input.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ControllerSet.h"
#include "SimOptions.h"
#include "VirtualController.h"

namespace sim {

// Faults one unit can be given; they last until the next unit is put in its place.
struct UnitFaults {
    bool wrongModel = false;      // another hardware class: not the recipe's model
    bool badChecksum = false;     // every reply but a connect answer carries a wrong checksum
    bool vanishMidWrite = false;  // taken away after the second block written
    bool babble = false;          // another device on the line: a burst of noise for every request
    ControllerBehaviour behaviour;  // fail-store, drop-write, silent ...
};

// The unit in one place of the batch; requests come from its serving thread, controls from the
// main thread.
class BatchPlace {
public:
    BatchPlace(const SimOptions& options, int index);

    // The reply to a request; none while the place is empty.
    Reply Handle(const Frame& request);
    void Remove();
    // A new unit (the next calibration of this place) with the faults given since the last one.
    void Insert();
    // "wrong-model", "fail-store", "drop-write", "bad-checksum", "vanish-mid-write", "silent" or
    // "none"; false for another word. Applies to the unit now in the place.
    bool SetFault(const std::string& mode);
    bool Present() const;
    // Bytes of write and store requests the unit now in place has received.
    long WrittenBytes() const;
    // The blocks a download writes, as the unit in place has stored them, in hex: section 2
    // blocks 0 to 2 and section 1 blocks 0 and 1, or the FOC block.
    std::string StoredBlocksHex() const;

private:
    void Build();

    const SimOptions& options_;
    int index_;
    int generation_ = 0;
    mutable std::mutex mutex_;
    bool present_ = true;
    int blocksWritten_ = 0;
    long writtenBytes_ = 0;
    UnitFaults faults_;
    std::unique_ptr<VirtualController> controller_;
};

// Calibration words 5, 8, 9 and 10 of the unit `generation` of place `index`, from the seed: near
// the model's own values, different from unit to unit.
void SeedCalibration(ControllerSet& set, unsigned seed, int index, int generation);

// One control line: "remove I", "insert I [MODE]", "fault I MODE", "written I" or "blocks I" (I from 1).
// The answer goes to `answer` ("ok", "written I N" or "blocks I HEX"); false with the reason.
bool ApplyControl(const std::string& line, std::vector<std::unique_ptr<BatchPlace>>& places, std::string& answer,
                  std::string& why);

}  // namespace sim
