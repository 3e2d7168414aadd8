// drivetune-sim: a virtual controller on a pseudo-terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "SimOptions.h"
#include "SimRunner.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::SimOptions options;
    std::string text;
    switch (sim::ParseSimOptions(args, options, text)) {
        case sim::SimParse::Help:
        case sim::SimParse::Version: std::fputs(text.c_str(), stdout); return 0;
        case sim::SimParse::Error:
            std::fprintf(stderr, "drivetune-sim: %s\nTry 'drivetune-sim --help' for more information.\n", text.c_str());
            return 2;
        case sim::SimParse::Run: break;
    }
    return sim::RunSimulator(options);
}
