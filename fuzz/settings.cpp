// The settings file: whatever it holds, the three values read stay usable; and the three values
// saved into it (whatever else it holds) are the three read back.
//
// Input: the file's content; its first bytes also give the values saved.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "FuzzSupport.h"
#include "Settings.h"

using namespace dt;
using namespace dt::fuzz;

namespace {

std::string SettingsFile() {
    const std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    return base + "/dt-fuzz-settings-" + std::to_string(::getpid()) + ".ini";
}

// What a read makes of a saved value.
Settings AsRead(Settings s) {
    if (s.UartPort <= 0 || s.UartPort > kMaxPortNumber) s.UartPort = 1;
    if (s.Baudrate <= 0) s.Baudrate = 9600;
    if (s.Language != 1) s.Language = 0;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = SettingsFile();
    const std::string content(reinterpret_cast<const char*>(data), size);
    const Settings s = ParseSettings(content);
    Require(s.UartPort >= 1, "port number below 1");
    Require(s.UartPort <= kMaxPortNumber, "port number above the highest COM number");
    Require(s.Baudrate >= 1, "baud rate below 1");
    Require(s.Language == 0 || s.Language == 1, "language outside 0 and 1");

    InputRandom random(data, size);
    Settings saved;
    saved.UartPort = static_cast<int>(random.Next() % 2048) - 8;
    saved.Baudrate = static_cast<int>(random.Next() % 2000000) - 8;
    saved.Language = static_cast<int>(random.Next() % 3);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    Require(SaveSettings(path, saved), "the settings could not be saved");
    const Settings back = LoadSettings(path);
    const Settings want = AsRead(saved);
    Require(back.UartPort == want.UartPort, "the port read back is not the port saved");
    Require(back.Baudrate == want.Baudrate, "the baud rate read back is not the one saved");
    Require(back.Language == want.Language, "the language read back is not the one saved");
    return 0;
}
