#pragma once
// The ports a station's slots use: named as the port box names them, bound to the adapter's
// place where the system tells it, and remembered in the settings file.
#include <string>
#include <vector>

#include "PortNumbering.h"

namespace dt::station {

// Where Linux names serial adapters by their USB place.
constexpr const char* kByPathFolder = "/dev/serial/by-path";

// The device a slot keeps for `device`: on Linux a link of byPathFolder that leads to it, so an
// adapter without a serial number keeps its slot after a replug; the device itself when there
// is none (and on Windows, whose COM names stay with the adapter's place).
std::string StableDevice(const std::string& device, const std::string& byPathFolder = kByPathFolder);

struct SlotPort {
    std::string name;    // the port box's entry, or the device when no entry leads to it
    int number = 0;      // COM number, 0 when none
    std::string device;  // what the slot opens
};

// The slots' ports as entries name them now: one entry per device that resolves to the same file.
std::vector<SlotPort> NameSlots(const std::vector<PortEntry>& entries, const std::vector<std::string>& devices);

// Section "Station" of the settings file: Slots=<n>, Slot1=<device> ... Slot<n>=<device>.
std::vector<std::string> LoadSlotDevices(const std::string& settingsPath);
bool SaveSlotDevices(const std::string& settingsPath, const std::vector<std::string>& devices);

}  // namespace dt::station
