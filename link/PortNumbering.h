#pragma once
// COM numbers for the serial devices of a Linux system, so the port box and the UartPort
// setting keep speaking in COM numbers:
//   /dev/ttyS<k>   -> COM<k+1>   (k 0..31)
//   /dev/ttyUSB<k> -> COM<k+33>  (k 0..31)
//   /dev/ttyACM<k> -> COM<k+65>  (k 0..31)
//   any other serial device -> the next free number from 97 up, in name order.
// A port the system names COM<n> itself (Windows) keeps n, and its entry reads
// "COM<n> (<adapter>)".
// A symbolic link com<n> in the ports/ folder beside the settings file binds COM<n> to
// whatever it points at (a /dev/serial/by-id link, a pseudo-terminal) and wins over the
// automatic numbers; the device it points at is not listed a second time.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Settings.h"

namespace dt {

// A serial device as the system reports it.
struct SerialDevice {
    std::string path;
    std::string description;  // "USB-Serial CH340"; "" when the system knows none
    std::string maker;
};

struct PortEntry {
    int number = 0;
    std::string device;   // path to open
    std::string adapter;  // description and maker, "" when unknown

    // "COM<n> (<device>)" or "COM<n> (<device>, <adapter>)": the port box's entry, from which
    // TakePortFromList reads n.
    std::string BoxText() const;
};

// What names the adapter: its description, then its maker unless the description holds it.
// Control characters are dropped, so a device cannot break a line of the list or the log.
std::string AdapterName(const std::string& description, const std::string& maker);

// udev's model and vendor names stand for spaces with underscores ("FT232R_USB_UART"); the
// adapter is named with spaces, as its maker writes it. A missing value gives "".
std::string UdevNameText(const char* value);

// An explicit binding read from the ports/ folder.
struct PortBinding {
    int number = 0;
    std::string device;  // where the link points
};

// Numbers a list of serial devices, bindings first. Result sorted by number. A bound device
// that is also listed lends its adapter name to the binding.
std::vector<PortEntry> NumberPorts(const std::vector<SerialDevice>& devices,
                                   const std::vector<PortBinding>& bindings);

// The com<n> links of a folder (n 1..1024) whose target exists. A missing folder gives none.
std::vector<PortBinding> ReadPortBindings(const std::string& portsFolder);

// Serial devices the system reports (paths such as /dev/ttyUSB0). A scan opens files in sysfs
// and udev's database, so callers keep its result (PortNumbering does).
std::vector<SerialDevice> SystemSerialDevices();

// ports/ beside the default settings file.
std::string DefaultPortsFolder();

// Port number from the port box text: the first three characters are dropped and the rest is
// read as a decimal integer the strtol way ("COM12" 12, "COM 7" 7, "XYZ" 0, "" 0).
int TakePortFromList(const std::string& boxText);

// The numbering of one system: where the devices come from and where the bindings are.
// It keeps its last scan of the devices: listing the ports (a user dropping down the box)
// scans afresh, while finding one port reuses the kept scan and scans only when the port is
// not in it or its device has gone since. A bound number needs no scan at all.
class PortNumbering {
public:
    using DeviceLister = std::function<std::vector<SerialDevice>()>;

    PortNumbering(std::string portsFolder, DeviceLister lister);
    // The real system: its serial devices and the ports/ folder given (default: beside the
    // default settings file).
    static PortNumbering System(const std::string& portsFolder = DefaultPortsFolder());

    // Every port, from a fresh scan.
    std::vector<PortEntry> Ports();
    // Port box entries from a fresh scan, sorted by text as a sorted box orders them
    // ("COM10 (…)" before "COM2 (…)").
    std::vector<std::string> BoxEntries();
    // Device path of COM<n>; "" when no device has that number.
    std::string DeviceFor(int number);
    // COM number of a device path (by its resolved path as well); 0 when it has none.
    int NumberOf(const std::string& device);

    // Scans made so far (tests count them).
    int ScanCount() const { return scans_; }

private:
    const std::vector<SerialDevice>& Scan();
    const std::vector<SerialDevice>& KeptScan();
    // The first port that matches: bindings, then the kept scan, then a fresh one.
    std::optional<PortEntry> Find(const std::function<bool(const PortEntry&)>& match);

    std::string portsFolder_;
    DeviceLister lister_;
    std::optional<std::vector<SerialDevice>> kept_;
    int scans_ = 0;
};

}  // namespace dt
