#pragma once
// The table of drivetune-cli's commands: names, help texts, the options each takes and the code
// that runs it. The argument parser and the help are built from this table alone.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "CliOptions.h"

namespace dt {
struct ToolState;
}

namespace dt::cli {

// Options a command takes besides the global ones (--lang, --trace, --help).
enum CommandOption : unsigned {
    kPortOption = 1u << 0,    // --port P and --baud N
    kPortRequired = 1u << 1,  // ... and --port must be given
    kOutputOption = 1u << 2,  // -o FILE
    kJsonOption = 1u << 3,
    kDryRunOption = 1u << 4,
    kVerifyOption = 1u << 5,
    kNoBackupOption = 1u << 6,
    kSetOption = 1u << 7,  // --set ID=VALUE, repeatable
    kRecordOptions = 1u << 15,  // the record command's own (RecordOptions.h)
    kProgramOptions = 1u << 8,  // many ports, station mode, the record's fields
};

// Everything a command needs while it runs.
struct Context {
    const CliOptions& opt;
    std::ostream& out;
    std::ostream& err;
    std::string textIniPath;
    std::istream& in;  // what "-" reads
    bool progress = false;  // blocks counted on err while an exchange runs
    // Settings and language into a fresh state (text.ini, then --lang).
    void SetUp(ToolState& s) const;
};

struct Command {
    const char* name;
    const char* summary;      // one line, in the list of commands
    const char* description;  // the command's own --help
    unsigned options;
    int minFiles;
    int maxFiles;
    const char* filesHelp;  // nullptr: no operands
    int (*run)(const Context&);
};

const std::vector<Command>& CommandTable();
// Another name a command answers to ("restore" for factory-reset); nullptr for none.
const char* CommandAlias(const Command& command);
// A command that talks to a controller this time: every port command, and "backups restore".
bool NeedsPort(const Command& command, const CliOptions& options);

// The commands of each area (Offline.cpp, Online.cpp).
int RunTables(const Context& c);
int RunShow(const Context& c);
int RunCheck(const Context& c);
int RunDiff(const Context& c);
int RunBackups(const Context& c);
int RunPorts(const Context& c);
int RunUpload(const Context& c);
int RunDownload(const Context& c);
int RunStore(const Context& c);
int RunRestore(const Context& c);
int RunSet(const Context& c);
// backups restore N|PATH: that backup downloaded as download does.
int RunBackupRestore(const Context& c);
int RunRecord(const Context& c);
int RunProgram(const Context& c);
// diff with --port: FILE against what the controller holds.
int RunDiffWithController(const Context& c);

}  // namespace dt::cli
