#include "SimOptions.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "PortBinding.h"
#include "Version.h"

namespace sim {

namespace {

const char* const kController = "Controller";
const char* const kPort = "Port";
const char* const kFailures = "Failure modes";
const char* const kOther = "Other";

const char* const kDescription =
    "A virtual motor controller on a pseudo-terminal, for trying DriveTune without hardware.\n"
    "It prints the terminal's device path on the first line of standard output and answers\n"
    "the controller protocol until it is stopped (Ctrl+C, SIGTERM).\n"
    "Without options it plays a standard controller, customer 1, software version 300\n"
    "(function variant B), 48 MOSFETs, nominal 60 V; every shown value in range.\n"
    "--bind links COM<n> in the ports/ folder beside the settings file ($XDG_CONFIG_HOME/DriveTune,\n"
    "else ~/.config/DriveTune), so the tool finds the terminal as COM<n>; the link goes on exit.";

const char* const kFooter =
    R"(Protocol: frames 0x66, code, length, payload, sum of the previous bytes mod 256. A frame with
a wrong checksum is ignored; noise is skipped up to the next 0x66; an incomplete request is
forgotten after 200 ms of silence.
  0x02          -> 0x02 (connect)
  0x10          -> 0x10 identity block (section 0 words 0-15)
  0x11          -> section 3 block 0, or the FOC block on an FOC controller
  0x12-0x14     -> section 3 blocks 1-3
  0x18-0x1A     -> section 2 blocks 0-2;  0x1B, 0x1C -> section 1 blocks 0, 1
  0x21-0x24, 0x28-0x2C (32 bytes) -> the same code with no payload; the block is held
  0x80          -> 0x03: the held blocks become the stored set (0x04 with --fail-store)
  0x81          -> 0x81; the next 0x80 brings back the factory set
Reads always answer the stored set.)"
    "\nExit status: 0 when stopped, 1 when the terminal or link fails, 2 for a bad command line or a\n"
    "set file that cannot be read or used.";

// A whole number of 0 or more; larger values are taken as max.
CLI::Validator Count(long max) {
    return CLI::Validator(
        [max](std::string& text) {
            errno = 0;
            char* end = nullptr;
            const long parsed = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno == ERANGE || parsed < 0)
                return "needs a whole number of 0 or more, not '" + text + "'";
            text = std::to_string(parsed > max ? max : parsed);
            return std::string();
        },
        "");
}

// The switches of one group of the help.
void AddFlags(CLI::App& app, SimOptions& o, const char* group) {
    struct Flag {
        const char* name;
        const char* group;
        const char* help;
        bool* target;
    };
    const Flag flags[] = {
        {"--variant-a", kController, "standard controller with software version 260 (function variant A)", &o.variantA},
        {"--foc", kController, "FOC controller: identity word 15 = 0xFFFE and a 32-byte block", &o.foc},
        {"--uncalibrated", kController,
         "standard controller whose BATT_RATIO word is 0 (data not valid)", &o.uncalibrated},
        {"--silent", kFailures, "never answer", &o.behaviour.silent},
        {"--silent-after-read", kFailures, "answer until a whole set has been read, then never again",
         &o.behaviour.silentAfterRead},
        {"--garbage", kFailures, "send noise bytes before each reply (never a valid frame)", &o.wire.garbage},
        {"--split", kFailures, "send each reply in several pieces, a few ms apart", &o.wire.split},
        {"--fail-store", kFailures, "answer a store (0x80) with 0x04 and keep the old set", &o.behaviour.failStore},
        {"--short-block", kFailures, "block replies carry 16 bytes instead of 32", &o.behaviour.shortBlock},
        {"--drop-write", kFailures, "acknowledge the first block written but keep its old bytes", &o.behaviour.dropWrite},
        {"--pace", kFailures, "take the real wire time: 10 bits per byte at the baud rate, both ways", &o.wire.pace},
        {"-v,--verbose", kOther, "log every request and reply on standard error", &o.verbose},
    };
    for (const Flag& f : flags)
        if (f.group == group) app.add_flag(f.name, *f.target, f.help)->group(group)->disable_flag_override();
}

void AddValues(CLI::App& app, SimOptions& o) {
    AddFlags(app, o, kController);
    app.add_option("--file", o.file, "load the set from a .foc (1024 bytes) or .ged (32 bytes, FOC) file")
        ->type_name("F.foc|F.ged")
        ->group(kController);
    app.add_option("--write-sample", o.writeSample, "write the set chosen above to FILE (.foc or .ged) and exit")
        ->type_name("FILE")
        ->group(kController);
    app.add_option_function<std::string>(
           "--bind", [&o](const std::string& v) { ParseComNumber(v, o.bindCom); },
           "link ports/com<n> in the settings folder to the terminal while running")
        ->check(CLI::Validator(
            [](std::string& v) {
                int n = 0;
                return ParseComNumber(v, n) ? std::string() : "needs a port name COM1 to COM1024, not '" + v + "'";
            },
            ""))
        ->type_name("COM<n>")
        ->group(kPort);
    app.add_option("--baud", o.wire.baud, "line speed of the terminal and of --pace (default 9600)")
        ->check(Count(4000000))
        ->check(CLI::Range(50, 4000000).description(""))
        ->type_name("N")
        ->group(kPort);
    app.add_option("--count", o.count,
                   "a batch of N controllers of the model chosen, each with its own calibration, on N terminals "
                   "(one path a line); standard input takes 'remove I', 'insert I' and 'fault I MODE' (MODE: "
                   "wrong-model, fail-store, drop-write, bad-checksum, vanish-mid-write, silent, babble, none)")
        ->check(CLI::Range(1, 256))
        ->type_name("N")
        ->group(kController);
    app.add_option("--seed", o.seed, "seed of the batch's calibrations (default 1)")->type_name("S")->group(kController);
    AddFlags(app, o, kFailures);
    app.add_option("--delay-ms", o.wire.delayMs, "wait N ms before each reply")
        ->check(Count(600000))
        ->type_name("N")
        ->group(kFailures);
    app.add_option("--answer-00", o.behaviour.answer00, "answer 0x00 (\"not ready\") to the first N connect requests")
        ->check(Count(LONG_MAX))
        ->type_name("N")
        ->group(kFailures);
}

// Combinations that name two different controllers.
bool CheckCombination(const SimOptions& options, std::string& error) {
    bool gedFile = false;
    if (!options.file.empty()) {
        std::string lower = options.file;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        gedFile = lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".ged") == 0;
        if (options.variantA) {
            error = "--variant-a chooses a built-in controller; it cannot be combined with --file";
            return false;
        }
        if (options.foc && !gedFile) {
            error = "--foc with --file needs a .ged file";
            return false;
        }
    }
    if (options.foc && options.variantA) {
        error = "--variant-a is a standard controller; it cannot be combined with --foc";
        return false;
    }
    if (options.count > 0 && (options.bindCom > 0 || !options.writeSample.empty())) {
        error = "--count serves terminals of its own; it cannot be combined with --bind or --write-sample";
        return false;
    }
    if (options.uncalibrated && (options.foc || gedFile)) {
        error = "--uncalibrated applies to a standard controller only";
        return false;
    }
    return true;
}

}  // namespace


SimParse ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& text) {
    CLI::App app(kDescription, "drivetune-sim");
    app.footer(kFooter);
    app.get_formatter()->column_width(24);
    AddValues(app, options);
    AddFlags(app, options, kOther);
    bool version = false;
    app.add_flag("--version", version, "print the version and exit")->group(kOther);
    app.set_help_flag("-h,--help", "show this help")->group(kOther);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        text = app.help();
        return SimParse::Help;
    } catch (const CLI::ParseError& e) {
        text = e.what();
        return SimParse::Error;
    }
    if (version) {
        text = std::string("drivetune-sim ") + DRIVETUNE_VERSION + "\n";
        return SimParse::Version;
    }
    return CheckCombination(options, text) ? SimParse::Run : SimParse::Error;
}

}  // namespace sim
