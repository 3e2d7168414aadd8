// drivetune-sim: a virtual controller on a pseudo-terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "SimOptions.h"
#include "SimRunner.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::SimOptions options;
    std::string error;
    if (!sim::ParseSimOptions(args, options, error)) {
        std::fprintf(stderr, "drivetune-sim: %s\nTry 'drivetune-sim --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::SimHelpText().c_str(), stdout);
        return 0;
    }
    return sim::RunSimulator(options);
}
