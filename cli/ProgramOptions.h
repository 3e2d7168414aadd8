#pragma once
// The options of `program`: many ports, station mode and what goes into each record.
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace dt::cli {

struct ProgramOptions {
    std::vector<std::string> ports;  // --port, as many as given
    bool repeat = false;
    std::string expectSha256;
    std::string label;
    std::string operatorName;
    std::string station;  // "" : the host name
};

struct CliOptions;
// Adds --repeat, --expect-sha256, --label, --operator and --station to the program command (its
// --port, --baud, --timeout and --json are the other commands').
void AddProgramOptions(CLI::App& sub, CliOptions& o);

}  // namespace dt::cli
