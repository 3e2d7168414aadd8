#pragma once
// Command line of drivetune-sim.
#include <string>
#include <vector>

#include "ReplyWriter.h"
#include "VirtualController.h"

namespace sim {

struct SimOptions {
    bool help = false;
    bool verbose = false;
    bool foc = false;
    bool variantA = false;
    bool uncalibrated = false;
    std::string file;         // --file: .foc or .ged
    std::string writeSample;  // --write-sample: write the held set and leave
    int bindCom = 0;          // --bind COM<n>
    ControllerBehaviour behaviour;
    WireOptions wire;
};

// Parses argv[1..]; false with a message for the user on a bad command line.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

std::string SimHelpText();

}  // namespace sim
