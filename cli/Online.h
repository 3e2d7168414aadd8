#pragma once
// Commands that talk to a controller through a serial port.
#include <ostream>
#include <string>
#include <vector>

#include "ToolState.h"

namespace dt::cli {

// Runs an online command (ports, upload, download, store, restore) with the arguments after its name.
// Returns the exit status, or -1 when cmd is not an online command.
int RunOnlineCommand(const std::string& cmd, const std::vector<std::string>& args, ToolState& s,
                     std::ostream& out, std::ostream& err);

// Usage lines of the online commands, for the help text.
std::string OnlineUsage();

}  // namespace dt::cli
