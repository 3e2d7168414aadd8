#pragma once
// Why a serial port did not open, and the line that tells the user what to do about it.
#include <string>

namespace dt {

struct ToolState;

enum class PortFault {
    None,
    Missing,       // no such device, or nothing answers behind its node (unplugged adapter)
    NoPermission,  // the user may not open the device (not in its group)
    Busy,          // another program holds the device
    Other,         // anything else: the system's own words are given
};

struct PortFailure {
    PortFault fault = PortFault::None;
    std::string device;  // the path, or "COM<n>" when no device has the number
    std::string detail;  // the system's words, for the log and the Other case
    std::string group;   // the group that may open the device (NoPermission)
};

// The second line of the port-open message in the current language; "" for None.
std::string PortFailureHint(const ToolState& state, const PortFailure& failure);

// "busy", "no permission", ... for the log.
const char* PortFaultName(PortFault fault);

}  // namespace dt
