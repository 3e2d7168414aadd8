#pragma once
// How SystemSerialDevices names a Windows port's adapter.
#include <string>

namespace dt {

// The adapter's part of a port's friendly name: "USB-SERIAL CH340 (COM3)" gives
// "USB-SERIAL CH340" for port 3; a name without that tail is kept whole.
std::string AdapterOfFriendlyName(const std::string& friendly, int number);

}  // namespace dt
