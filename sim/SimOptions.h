#pragma once
// Command line of drivetune-sim.
#include <string>
#include <vector>

#include "ControllerKind.h"
#include "ReplyWriter.h"
#include "VirtualController.h"

namespace sim {

struct SimOptions {
    bool verbose = false;
    dt::ControllerKind kind = dt::ControllerKind::Standard;  // --foc: an FOC controller
    bool variantA = false;
    bool uncalibrated = false;
    std::string file;         // --file: .foc or .ged
    std::string writeSample;  // --write-sample: write the held set and leave
    int bindCom = 0;          // --bind COM<n>
    int count = 0;            // --count N: a batch of N controllers; 0: one, the classic way
    unsigned seed = 1;        // --seed: the batch's calibrations
    ControllerBehaviour behaviour;
    WireOptions wire;
};

enum class SimParse { Run, Help, Version, Error };

// Parses argv[1..]. Help and Version leave the text to print in text, Error the reason.
SimParse ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& text);

}  // namespace sim
