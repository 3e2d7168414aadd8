// The settings file as read at start-up: whatever it holds, the three values stay usable.
#include "FuzzSupport.h"
#include "Settings.h"

using namespace dt;
using namespace dt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Settings s = ParseSettings(std::string(reinterpret_cast<const char*>(data), size));
    Require(s.UartPort >= 1, "port number below 1");
    Require(s.Baudrate >= 1, "baud rate below 1");
    Require(s.Language == 0 || s.Language == 1, "language outside 0 and 1");
    return 0;
}
