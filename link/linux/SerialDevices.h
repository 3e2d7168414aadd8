#pragma once
// How SystemSerialDevices finds the serial devices of a Linux system. Listing every tty through
// udev costs thousands of file operations (15 ms and more), most of them for virtual consoles
// that can never be a serial port; the tty folder of sysfs names the few that can in well under
// a millisecond, and only those are asked of udev. What each reports is what Qt's own scan
// reports; Qt's scan is used where udev is not available.
#include <string>
#include <vector>

namespace dt {

// Names in a tty class folder (/sys/class/tty) that may be serial ports: those backed by a
// device, and the virtual kinds a serial scan lists too (rfcomm, tnt null modems, ttyGS
// gadgets). Sorted; a missing folder gives none.
std::vector<std::string> SerialCandidates(const std::string& ttyClassFolder);

}  // namespace dt
