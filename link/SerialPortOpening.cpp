// The opening steps both serial ports share; each platform's port does the rest in OpenResolved.
#include "SerialPort.h"

#include "PortNumbering.h"

namespace dt {

bool SerialPort::OpenPort(int number, int baud) {
    CloseAndSettle();
    lastError_.clear();
    failure_ = {};
    const std::string com = "COM" + std::to_string(number);
    if (number < 1 || number > kMaxPortNumber) return Fail(PortFault::Missing, com, "no such port number");
    number_ = number;
    const std::string path = resolver_(number);
    if (path.empty()) {
        device_.clear();
        lastError_ = "no device is numbered " + com;
        return Fail(PortFault::Missing, com, lastError_);
    }
    return OpenResolved(path, baud);
}

bool SerialPort::OpenDevice(const std::string& path, int baud, int number) {
    CloseAndSettle();
    lastError_.clear();
    failure_ = {};
    number_ = number;
    return OpenResolved(path, baud);
}

}  // namespace dt
