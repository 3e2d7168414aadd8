#include "SimOptions.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "PortBinding.h"

namespace sim {

namespace {

bool ParseCount(const std::string& name, const std::string& text, long max, long& value, std::string& error) {
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || parsed < 0) {
        error = name + " needs a whole number of 0 or more, not '" + text + "'";
        return false;
    }
    value = parsed > max ? max : parsed;
    return true;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            auto eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&]() -> bool {
            if (hasInlineValue) return true;
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto noValue = [&]() -> bool {
            if (!hasInlineValue) return true;
            error = arg + " takes no value";
            return false;
        };

        long number = 0;
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-v" || arg == "--verbose") {
            if (!noValue()) return false;
            options.verbose = true;
        } else if (arg == "--foc") {
            if (!noValue()) return false;
            options.foc = true;
        } else if (arg == "--variant-a") {
            if (!noValue()) return false;
            options.variantA = true;
        } else if (arg == "--uncalibrated") {
            if (!noValue()) return false;
            options.uncalibrated = true;
        } else if (arg == "--file") {
            if (!takeValue()) return false;
            options.file = value;
        } else if (arg == "--write-sample") {
            if (!takeValue()) return false;
            options.writeSample = value;
        } else if (arg == "--bind") {
            if (!takeValue()) return false;
            if (!ParseComNumber(value, options.bindCom)) {
                error = "--bind needs a port name COM1 to COM1024, not '" + value + "'";
                return false;
            }
        } else if (arg == "--silent") {
            if (!noValue()) return false;
            options.behaviour.silent = true;
        } else if (arg == "--silent-after-read") {
            if (!noValue()) return false;
            options.behaviour.silentAfterRead = true;
        } else if (arg == "--drop-write") {
            if (!noValue()) return false;
            options.behaviour.dropWrite = true;
        } else if (arg == "--delay-ms") {
            if (!takeValue() || !ParseCount(arg, value, 600000, number, error)) return false;
            options.wire.delayMs = static_cast<int>(number);
        } else if (arg == "--answer-00") {
            if (!takeValue() || !ParseCount(arg, value, LONG_MAX, number, error)) return false;
            options.behaviour.answer00 = number;
        } else if (arg == "--garbage") {
            if (!noValue()) return false;
            options.wire.garbage = true;
        } else if (arg == "--split") {
            if (!noValue()) return false;
            options.wire.split = true;
        } else if (arg == "--fail-store") {
            if (!noValue()) return false;
            options.behaviour.failStore = true;
        } else if (arg == "--short-block") {
            if (!noValue()) return false;
            options.behaviour.shortBlock = true;
        } else if (arg == "--pace") {
            if (!noValue()) return false;
            options.wire.pace = true;
        } else if (arg == "--baud") {
            if (!takeValue() || !ParseCount(arg, value, 4000000, number, error)) return false;
            if (number < 50) {
                error = "--baud needs a rate of at least 50";
                return false;
            }
            options.wire.baud = static_cast<int>(number);
        } else {
            error = "unknown option '" + args[i] + "'";
            return false;
        }
    }

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
    if (options.uncalibrated && (options.foc || gedFile)) {
        error = "--uncalibrated applies to a standard controller only";
        return false;
    }
    return true;
}

std::string SimHelpText() {
    return R"(Usage: drivetune-sim [options]

A virtual motor controller on a pseudo-terminal, for trying DriveTune without hardware.
It prints the terminal's device path on the first line of standard output and answers
the controller protocol until it is stopped (Ctrl+C, SIGTERM).

Controller:
  (default)            standard controller, customer 1, software version 300 (function
                       variant B), 48 MOSFETs, nominal 60 V; every shown value in range
  --variant-a          standard controller with software version 260 (function variant A)
  --foc                FOC controller: identity word 15 = 0xFFFE and a 32-byte block
  --file F.foc|F.ged   load the set from a parameter file (.foc: at least 1024 bytes;
                       .ged: at least 32 bytes, an FOC controller)
  --uncalibrated       standard controller whose BATT_RATIO word is 0, so its data is not
                       valid for the tool
  --write-sample FILE  write the set chosen above to FILE (.foc, or .ged for FOC) and exit

Port:
  --bind COM<n>        link <settings folder>/ports/com<n> to the terminal, so the tool
                       finds it as COM<n>; removed again on exit. The settings folder is
                       $XDG_CONFIG_HOME/DriveTune, else ~/.config/DriveTune
  --baud N             line speed of the terminal and of --pace (default 9600)

Failure modes:
  --silent             never answer
  --silent-after-read  answer until a whole set has been read, then never again
  --delay-ms N         wait N ms before each reply
  --answer-00 N        answer 0x00 ("not ready") to the first N connect requests
  --garbage            send noise bytes before each reply (never a valid frame)
  --split              send each reply in several pieces, a few ms apart
  --fail-store         answer a store (0x80) with 0x04 and keep the old set
  --short-block        block replies carry 16 bytes instead of 32
  --drop-write         acknowledge the first block written but keep its old bytes
  --pace               take the real wire time: 10 bits per byte at the baud rate, for
                       requests received and replies sent

Other:
  -v, --verbose        log every request and reply on standard error
  -h, --help           show this help

Protocol: frames 0x66, code, length, payload, sum of the previous bytes mod 256. A frame with
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
Reads always answer the stored set.

Exit status: 0 when stopped, 1 when the terminal, link or file fails, 2 for a bad command line.
)";
}

}  // namespace sim
