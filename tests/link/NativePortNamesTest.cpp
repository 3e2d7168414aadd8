// Ports the system names COM<n> itself (Windows) keep their numbers beside the kernel's devices.
#include <gtest/gtest.h>

#include "PortNumbering.h"

using namespace dt;

namespace {

std::vector<std::string> Texts(const std::vector<PortEntry>& entries) {
    std::vector<std::string> out;
    for (const PortEntry& e : entries) out.push_back(e.BoxText());
    return out;
}

TEST(NativePortNames, KeepTheirNumbersAndNameTheAdapter) {
    const std::vector<SerialDevice> devices = {
        {"COM3", "USB-SERIAL CH340", ""},
        {"COM12", "", ""},
        {"COM1", "Communications Port", "(Standard port types)"},
        {"/dev/ttyUSB0", "", ""},
    };
    EXPECT_EQ(Texts(NumberPorts(devices, {})),
              (std::vector<std::string>{"COM1 (Communications Port (Standard port types))", "COM3 (USB-SERIAL CH340)",
                                        "COM12", "COM33 (/dev/ttyUSB0)"}));
    EXPECT_EQ(TakePortFromList("COM3 (USB-SERIAL CH340)"), 3);
    EXPECT_EQ(TakePortFromList("COM12"), 12);
}

TEST(NativePortNames, OnlyAWholeComNameCounts) {
    const std::vector<SerialDevice> devices = {
        {"COM0", "", ""}, {"COM1025", "", ""}, {"COM07", "", ""}, {"/dev/COM5", "", ""}, {"com6", "", ""},
    };
    EXPECT_EQ(Texts(NumberPorts(devices, {})),
              (std::vector<std::string>{"COM97 (COM0)", "COM98 (COM07)", "COM99 (COM1025)", "COM100 (/dev/COM5)",
                                        "COM101 (com6)"}));
}

}  // namespace
