#pragma once
// The command line of the online commands: --port, --baud, -o, --json and file operands.
#include <string>
#include <vector>

#include "OnlineSession.h"

namespace dt::cli {

struct OnlineOptions {
    bool hasPort = false;
    PortChoice port;
    int baud = 0;  // 0: the configured Baudrate
    std::string output;  // -o
    bool json = false;
    std::vector<std::string> files;
};

// Which options a command takes.
struct OptionSet {
    bool output = false;
    bool json = false;
    size_t files = 0;
};

// Parses args for a command that takes the options in allowed (--port and --baud always).
// False with a reason in error for anything else, a repeated option or a bad value.
bool ParseOnlineOptions(const std::vector<std::string>& args, const OptionSet& allowed, OnlineOptions& options,
                        std::string& error);

// --port value: "COM<n>" (also a port box entry "COM<n> (<device>)") or a device path.
bool ParsePortChoice(const std::string& text, PortChoice& port, std::string& error);

}  // namespace dt::cli
