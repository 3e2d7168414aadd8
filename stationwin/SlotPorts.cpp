#include "SlotPorts.h"

#include <filesystem>

#include "Settings.h"

namespace dt::station {

namespace {

constexpr const char* kSection = "Station";
// More than any bench holds; a larger count in the file is a damaged file.
constexpr int kMostSlots = 256;

std::string Resolved(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

}  // namespace

std::vector<SlotPort> NameSlots(const std::vector<PortEntry>& entries, const std::vector<std::string>& devices) {
    std::vector<SlotPort> out;
    for (const std::string& device : devices) {
        SlotPort slot{device, 0, device};
        const std::string target = Resolved(device);
        for (const PortEntry& e : entries) {
            if (Resolved(e.device) != target) continue;
            slot.name = e.BoxText();
            slot.number = e.number;
            break;
        }
        out.push_back(slot);
    }
    return out;
}

std::vector<std::string> LoadSlotDevices(const std::string& settingsPath) {
    const int count = std::atoi(ReadProfileString(settingsPath, kSection, "Slots").c_str());
    std::vector<std::string> out;
    for (int i = 1; i <= count && i <= kMostSlots; ++i) {
        const std::string device = ReadProfileString(settingsPath, kSection, "Slot" + std::to_string(i));
        if (!device.empty()) out.push_back(device);
    }
    return out;
}

bool SaveSlotDevices(const std::string& settingsPath, const std::vector<std::string>& devices) {
    bool ok = WriteProfileString(settingsPath, kSection, "Slots", std::to_string(devices.size()));
    for (size_t i = 0; i < devices.size(); ++i)
        ok = WriteProfileString(settingsPath, kSection, "Slot" + std::to_string(i + 1), devices[i]) && ok;
    return ok;
}

}  // namespace dt::station
