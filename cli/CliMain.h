#pragma once
#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace dt::cli {

// What the process's console offers besides its streams; tests say it for themselves.
struct Console {
    bool errIsTerminal = false;    // progress is drawn on err
    bool catchInterrupts = false;  // Ctrl+C and SIGTERM stop an exchange at a safe point
};

// Runs drivetune-cli with the process arguments; returns the exit status.
int Main(int argc, char** argv);
// The same with explicit streams, for tests; textIniPath is where text.ini is looked up, and the
// help is wrapped to helpWidth columns; "-" reads `in` (standard input when null).
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& textIniPath = "text.ini", size_t helpWidth = 80, std::istream* in = nullptr,
        const Console& console = Console());

}  // namespace dt::cli
