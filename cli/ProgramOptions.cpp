#include "ProgramOptions.h"

#include <CLI/CLI.hpp>

#include "CliOptions.h"

namespace dt::cli {

namespace {

bool IsHex64(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

void AddProgramOptions(CLI::App& sub, CliOptions& o) {
    ProgramOptions& p = o.program;
    sub.add_flag("--repeat", p.repeat,
                 "station mode: after each unit wait until it is removed, then program the next one; Ctrl+C ends");
    sub.add_option("--expect-sha256", p.expectSha256, "refuse FILE unless its SHA-256 is HEX; nothing is sent")
        ->type_name("HEX")
        ->check(CLI::Validator(
            [](std::string& text) { return IsHex64(text) ? std::string() : "needs 64 hex digits, not '" + text + "'"; },
            ""));
    sub.add_option("--label", p.label, "a serial or order number, kept in the record")->type_name("TEXT");
    sub.add_option("--operator", p.operatorName, "who programs, kept in the record")->type_name("NAME");
    sub.add_option("--station", p.station, "the station's name in the record (default: the host name)")
        ->type_name("NAME");
}

}  // namespace dt::cli
