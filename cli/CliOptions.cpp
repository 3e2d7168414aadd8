#include "CliOptions.h"

#include <algorithm>
#include <cctype>

#include "PortNumbering.h"

namespace dt::cli {

namespace {

bool ParseDecimal(const std::string& text, long max, long& value) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    // Leading zeros are decimal digits like any other, never an octal prefix.
    const size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
    if (text.size() - first > 9) return false;
    value = std::stol(text.substr(first), nullptr, 10);
    return value <= max;
}

bool StartsWithCom(const std::string& text) {
    return text.size() > 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
           std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
           std::toupper(static_cast<unsigned char>(text[2])) == 'M' && std::isdigit(static_cast<unsigned char>(text[3]));
}

}  // namespace

bool ParseNumberIn(const std::string& text, long min, long max, int& value, std::string& error) {
    long n = 0;
    if (ParseDecimal(text, max, n) && n >= min) {
        value = static_cast<int>(n);
        return true;
    }
    error = "Value " + text + " is not a decimal number from " + std::to_string(min) + " to " + std::to_string(max);
    return false;
}

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
        error = "takes COM1 to COM" + std::to_string(kMaxPortNumber) + " or a device path, not \"" + text + "\"";
        return false;
    }
    if (text.find('/') == std::string::npos) {
        error = "takes COM<n> or a device path such as /dev/ttyUSB0, not \"" + text + "\"";
        return false;
    }
    port.device = text;
    port.number = PortNumbering::System().NumberOf(text);
    return true;
}

std::string PortText(const PortChoice& port) {
    return port.device.empty() ? "COM" + std::to_string(port.number) : port.device;
}

bool DefaultPort(const std::string& environment, int settingsPort, PortChoice& port, std::string& from,
                 std::string& error) {
    if (!environment.empty()) {
        from = "DRIVETUNE_PORT";
        if (ParsePortChoice(environment, port, error)) return true;
        error = "DRIVETUNE_PORT: " + error;
        return false;
    }
    from = "the settings";
    port = PortChoice{settingsPort > 0 ? settingsPort : 1, std::string()};
    return true;
}

}  // namespace dt::cli
