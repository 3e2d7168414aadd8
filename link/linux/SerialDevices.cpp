#include "SerialDevices.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PortNumbering.h"

namespace dt {
namespace {

const char* const kTtyClassFolder = "/sys/class/tty";

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Ports without a parent device that are still serial ports.
bool IsVirtualSerial(const std::string& name) {
    return StartsWith(name, "rfcomm") || StartsWith(name, "tnt") || StartsWith(name, "ttyGS");
}

std::string Property(udev_device* dev, const char* name) {
    return UdevNameText(udev_device_get_property_value(dev, name));
}

// The 8250 driver registers ports whether or not a UART answers; only one of a known type is real.
bool IsRealSerial8250(const char* node) {
    const int fd = open(node, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    const bool real = ioctl(fd, TIOCGSERIAL, &info) != -1 && info.type != PORT_UNKNOWN;
    close(fd);
    return real;
}

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};

std::vector<SerialDevice> QtSerialDevices() {
    std::vector<SerialDevice> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        out.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                       info.manufacturer().toStdString()});
    return out;
}

}  // namespace

std::vector<std::string> SerialCandidates(const std::string& ttyClassFolder) {
    std::vector<std::string> names;
    DIR* dir = opendir(ttyClassFolder.c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue;
        struct stat st;
        if (IsVirtualSerial(name) || fstatat(dirfd(dir), (name + "/device").c_str(), &st, 0) == 0)
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<SerialDevice> SystemSerialDevices() {
    std::unique_ptr<udev, UdevDeleter> context(udev_new());
    if (!context) return QtSerialDevices();
    std::vector<SerialDevice> out;
    for (const std::string& name : SerialCandidates(kTtyClassFolder)) {
        std::unique_ptr<udev_device, UdevDeleter> dev(
            udev_device_new_from_subsystem_sysname(context.get(), "tty", name.c_str()));
        const char* node = dev ? udev_device_get_devnode(dev.get()) : nullptr;
        if (!node) continue;
        udev_device* parent = udev_device_get_parent(dev.get());  // owned by dev
        if (!parent && !IsVirtualSerial(name)) continue;
        const char* driver = parent ? udev_device_get_driver(parent) : nullptr;
        if (driver && std::string(driver) == "serial8250" && !IsRealSerial8250(node)) continue;
        // A virtual port has no adapter to name.
        if (parent)
            out.push_back({node, Property(dev.get(), "ID_MODEL"), Property(dev.get(), "ID_VENDOR")});
        else
            out.push_back({node, "", ""});
    }
    return out;
}

}  // namespace dt
