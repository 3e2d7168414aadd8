// drivetune-cli's argument parser and its --port parser on any words: a parsed command line
// always names its command; a refused one always says why on standard error; help and version
// go to standard output; and a --port that parses names a COM number or a device.
//
// Input: the words, separated by NUL bytes.
#include <sstream>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "CommandLine.h"
#include "FuzzSupport.h"

using namespace dt;
using namespace dt::cli;
using namespace dt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    const std::string all(reinterpret_cast<const char*>(data), size);
    size_t from = 0;
    while (from <= all.size() && args.size() < 16) {
        const size_t end = std::min(all.find('\0', from), all.size());
        args.push_back(all.substr(from, end - from));
        from = end + 1;
    }
    CliOptions options;
    const Command* command = nullptr;
    std::ostringstream out, err;
    const int status = ParseCommandLine(args, options, command, out, err);
    if (status == kParsed) {
        Require(command != nullptr, "parsed without a command");
        Require(err.str().empty(), "a parsed command line printed an error");
    } else if (status == 2) {
        Require(!err.str().empty(), "a usage error without a message");
    } else {
        Require(status == 0, "an exit status other than 0 or 2 from the parser");
        Require(!out.str().empty(), "help or version printed nothing");
    }

    PortChoice port;
    std::string why;
    if (ParsePortChoice(args[0], port, why)) Require(port.number > 0 || !port.device.empty(), "a port of nothing");
    else Require(!why.empty(), "a --port refused without a reason");
    return 0;
}
