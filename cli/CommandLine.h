#pragma once
// drivetune-cli's argument parser, built from the command table: global options before or after
// the command, --help for the program and for each command, --version.
#include <ostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace dt::cli {

constexpr int kParsed = -1;

// Parses args (without the program name). kParsed with the command and its options filled in;
// otherwise the exit status, with the help, the version or the error already printed. The help
// is wrapped to helpWidth columns (the terminal's width; 80 when not a terminal).
int ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, const Command*& command,
                     std::ostream& out, std::ostream& err, size_t helpWidth = 80);

}  // namespace dt::cli
