#pragma once
// COM numbers for the serial devices of a Linux system, so the port box and the UartPort
// setting keep speaking in COM numbers:
//   /dev/ttyS<k>   -> COM<k+1>   (k 0..31)
//   /dev/ttyUSB<k> -> COM<k+33>  (k 0..31)
//   /dev/ttyACM<k> -> COM<k+65>  (k 0..31)
//   any other serial device -> the next free number from 97 up, in name order.
// A symbolic link com<n> in the ports/ folder beside the settings file binds COM<n> to
// whatever it points at (a /dev/serial/by-id link, a pseudo-terminal) and wins over the
// automatic numbers; the device it points at is not listed a second time.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dt {

constexpr int kMaxPortNumber = 1024;

struct PortEntry {
    int number = 0;
    std::string device;  // path to open

    // "COM<n> (<device>)": the port box's entry, from which TakePortFromList reads n.
    std::string BoxText() const;
};

// An explicit binding read from the ports/ folder.
struct PortBinding {
    int number = 0;
    std::string device;  // where the link points
};

// Numbers a list of serial devices, bindings first. Result sorted by number.
std::vector<PortEntry> NumberPorts(const std::vector<std::string>& devices,
                                   const std::vector<PortBinding>& bindings);

// The com<n> links of a folder (n 1..1024) whose target exists. A missing folder gives none.
std::vector<PortBinding> ReadPortBindings(const std::string& portsFolder);

// Serial devices the system reports (paths such as /dev/ttyUSB0).
std::vector<std::string> SystemSerialDevices();

// ports/ beside the default settings file.
std::string DefaultPortsFolder();

// Port number from the port box text: the first three characters are dropped and the rest is
// read as a decimal integer the strtol way ("COM12" 12, "COM 7" 7, "XYZ" 0, "" 0).
int TakePortFromList(const std::string& boxText);

// The numbering of one system: where the devices come from and where the bindings are.
class PortNumbering {
public:
    using DeviceLister = std::function<std::vector<std::string>()>;

    PortNumbering(std::string portsFolder, DeviceLister lister);
    // The real system: Qt's serial port list and DefaultPortsFolder().
    static PortNumbering System();

    std::vector<PortEntry> Ports() const;
    // Port box entries sorted by text as a sorted box orders them ("COM10 (…)" before "COM2 (…)").
    std::vector<std::string> BoxEntries() const;
    // Device path of COM<n>; "" when no device has that number.
    std::string DeviceFor(int number) const;
    // COM number of a device path (by its resolved path as well); 0 when it has none.
    int NumberOf(const std::string& device) const;

private:
    std::string portsFolder_;
    DeviceLister lister_;
};

}  // namespace dt
