#pragma once
// What the command line asked for, once parsed: one record for every command.
#include <string>
#include <vector>

#include "OnlineSession.h"

namespace dt::cli {

struct CliOptions {
    std::string lang;  // "en", "cn" or "" (text.ini decides)
    bool trace = false;
    bool hasPort = false;
    PortChoice port;
    int baud = 0;        // 0: the configured Baudrate
    std::string output;  // -o
    bool json = false;
    bool dryRun = false;
    bool verify = false;
    bool noBackup = false;
    std::vector<std::string> files;
};

// --port value: "COM<n>" (also a port box entry "COM<n> (<device>)") or a device path. False with
// what is wrong in error.
bool ParsePortChoice(const std::string& text, PortChoice& port, std::string& error);

}  // namespace dt::cli
