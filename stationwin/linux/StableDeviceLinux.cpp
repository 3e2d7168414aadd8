// Linux: the by-path link of a USB adapter names its port on the hub, whatever ttyUSB number the
// kernel hands out after a replug.
#include <filesystem>

#include "SlotPorts.h"

namespace dt::station {

std::string StableDevice(const std::string& device, const std::string& byPathFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = fs::weakly_canonical(device, ec);
    if (ec) return device;
    fs::directory_iterator it(byPathFolder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code e2;
        if (fs::weakly_canonical(it->path(), e2) == target && !e2) return it->path().string();
    }
    return device;
}

}  // namespace dt::station
