#include "OnlineOptions.h"

#include <cctype>

#include "PortNumbering.h"

namespace dt::cli {

namespace {

bool ParseDecimal(const std::string& text, long max, long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = std::stol(text);
    return value <= max;
}

bool StartsWithCom(const std::string& text) {
    return text.size() > 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
           std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
           std::toupper(static_cast<unsigned char>(text[2])) == 'M' && std::isdigit(static_cast<unsigned char>(text[3]));
}

}  // namespace

bool ParsePortChoice(const std::string& text, PortChoice& port, std::string& error) {
    port = PortChoice();
    if (StartsWithCom(text)) {
        // A whole port box entry names its device after the number; the number decides.
        size_t end = 3;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        long n = 0;
        const bool entryTail = end == text.size() || text.compare(end, 2, " (") == 0;
        if (entryTail && ParseDecimal(text.substr(3, end - 3), kMaxPortNumber, n) && n >= 1) {
            port.number = static_cast<int>(n);
            return true;
        }
        error = "--port takes COM1 to COM" + std::to_string(kMaxPortNumber) + " or a device path, not \"" + text + "\"";
        return false;
    }
    if (text.find('/') == std::string::npos) {
        error = "--port takes COM<n> or a device path such as /dev/ttyUSB0, not \"" + text + "\"";
        return false;
    }
    port.device = text;
    port.number = PortNumbering::System().NumberOf(text);
    return true;
}

bool ParseOnlineOptions(const std::vector<std::string>& args, const OptionSet& allowed, OnlineOptions& options,
                        std::string& error) {
    options = OnlineOptions();
    bool hasBaud = false;
    bool hasOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        if (name.rfind("--", 0) == 0 && name.find('=') != std::string::npos) {
            value = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
            inlineValue = true;
        }
        auto takeValue = [&]() {
            if (inlineValue) return true;
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto once = [&](bool& seen) {
            if (seen) error = name + " is given twice";
            return !seen && (seen = true);
        };
        if (name == "--port") {
            if (!once(options.hasPort) || !takeValue() || !ParsePortChoice(value, options.port, error)) return false;
        } else if (name == "--baud") {
            long baud = 0;
            if (!once(hasBaud) || !takeValue()) return false;
            if (!ParseDecimal(value, 4000000, baud) || baud < 1) {
                error = "--baud takes a rate in bits per second, such as 9600, not \"" + value + "\"";
                return false;
            }
            options.baud = static_cast<int>(baud);
        } else if (name == "-o" && allowed.output) {
            if (!once(hasOutput) || !takeValue()) return false;
            if (value.empty()) {
                error = name + " needs a file name";
                return false;
            }
            options.output = value;
        } else if (name == "--json" && allowed.json && !inlineValue) {
            if (!once(options.json)) return false;
        } else if (name.size() > 1 && name[0] == '-') {
            error = "unknown option \"" + args[i] + "\"";
            return false;
        } else {
            options.files.push_back(args[i]);
        }
    }
    if (!options.hasPort) {
        error = "--port is missing";
        return false;
    }
    if (options.files.size() != allowed.files) {
        error = allowed.files == 0 ? "unexpected operand \"" + options.files[0] + "\""
                                   : options.files.size() < allowed.files ? "FILE is missing" : "only one FILE is taken";
        return false;
    }
    return true;
}

}  // namespace dt::cli
