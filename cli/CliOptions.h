#pragma once
// What the command line asked for, once parsed: one record for every command.
#include <string>
#include <vector>

#include "OnlineSession.h"
#include "RecordOptions.h"
#include "ProgramOptions.h"

namespace dt::cli {

struct CliOptions {
    std::string lang;  // "en", "cn" or "" (text.ini decides)
    bool trace = false;
    bool quiet = false;  // no messages on success
    bool hasPort = false;
    PortChoice port;
    int baud = 0;        // 0: the configured Baudrate
    int timeoutMs = 0;   // 0: the reply time-out of the window
    std::string output;  // -o
    bool json = false;
    bool dryRun = false;
    bool verify = false;
    bool noBackup = false;
    std::vector<std::string> sets;  // --set ID=VALUE
    std::vector<std::string> files;
    RecordOptions record;
    ProgramOptions program;
};

// A decimal number from min to max (leading zeros allowed) into value; false with what is wrong.
bool ParseNumberIn(const std::string& text, long min, long max, int& value, std::string& error);

// --port value: "COM<n>" (also a port box entry "COM<n> (<device>)") or a device path. False with
// what is wrong in error.
bool ParsePortChoice(const std::string& text, PortChoice& port, std::string& error);

// "COM3", or the device path with its COM number when it has one ("/dev/pts/4").
std::string PortText(const PortChoice& port);

// The port of a command that needs one and was given no --port: DRIVETUNE_PORT, then the port
// the settings hold (the window's last). False with the reason when DRIVETUNE_PORT is no port.
// `from` says where it came from, for the note on standard error.
bool DefaultPort(const std::string& environment, int settingsPort, PortChoice& port, std::string& from,
                 std::string& error);

}  // namespace dt::cli
