// The Win32 serial port's failures in Windows terms, its port names and the port list's entries.
#include <gtest/gtest.h>
#include <winerror.h>

#include "PortFailure.h"
#include "PortNumbering.h"
#include "SerialDevicesWin.h"
#include "SerialPort.h"
#include "ToolState.h"

using namespace dt;

namespace {

TEST(SerialPortWin, OpenErrorsInWindowsTerms) {
    struct Case {
        unsigned long error;
        PortFault fault;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, PortFault::Missing},     {ERROR_PATH_NOT_FOUND, PortFault::Missing},
        {ERROR_DEV_NOT_EXIST, PortFault::Missing},      {ERROR_DEVICE_NOT_CONNECTED, PortFault::Missing},
        {ERROR_ACCESS_DENIED, PortFault::Busy},         {ERROR_SHARING_VIOLATION, PortFault::Busy},
        {ERROR_GEN_FAILURE, PortFault::Other},          {ERROR_INVALID_PARAMETER, PortFault::Other},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyOpenError(c.error), c.fault) << c.error;
}

TEST(SerialPortWin, HintsSayWhatToDoOnWindows) {
    ToolState s;
    s.language = LANG_ENGLISH;
    const std::string busy = PortFailureHint(s, {PortFault::Busy, "COM4", "Access denied", {}});
    EXPECT_EQ(busy.rfind("Another program holds COM4", 0), 0u) << busy;
    EXPECT_EQ(busy.find("fuser"), std::string::npos);
    const std::string missing = PortFailureHint(s, {PortFault::Missing, "COM9", "", {}});
    EXPECT_EQ(missing.rfind("COM9 is not there: the adapter is unplugged, or Windows has no driver for it.", 0), 0u)
        << missing;
    s.language = LANG_CHINESE;
    EXPECT_EQ(PortFailureHint(s, {PortFault::Missing, "COM9", "", {}}).rfind("找不到 COM9", 0), 0u);
}

TEST(SerialPortWin, PortNamesReachPastCom9) {
    EXPECT_EQ(DeviceName("COM3"), L"\\\\.\\COM3");
    EXPECT_EQ(DeviceName("COM12"), L"\\\\.\\COM12");
    EXPECT_EQ(DeviceName("\\\\.\\COM5"), L"\\\\.\\COM5");
}

TEST(SerialPortWin, NumbersOutsideTheRangeOrWithNothingBehindOpenNothing) {
    SerialPort port;
    port.SetSettleMs(0);
    for (int number : {0, -1, 1025}) {
        EXPECT_FALSE(port.OpenPort(number, 9600)) << number;
        EXPECT_EQ(port.OpenFailure().fault, PortFault::Missing) << number;
    }
    // COM250 has no device in any test set-up.
    EXPECT_FALSE(port.OpenPort(250, 9600));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.PortNumber(), 250);
    EXPECT_EQ(port.OpenFailure().fault, PortFault::Missing);
    EXPECT_EQ(port.OpenFailure().device, "COM250");
    EXPECT_FALSE(port.LastError().empty());
    const uint8_t byte = 0x55;
    EXPECT_EQ(port.Write(&byte, 1), 0);
    uint8_t in[4];
    EXPECT_EQ(port.Read(in, 4), 0);
    EXPECT_EQ(port.BytesAvailable(), 0);
}

TEST(SerialPortWin, ANumberNoDeviceHasIsMissingWithoutOpening) {
    SerialPort port([](int) { return std::string(); });
    EXPECT_FALSE(port.OpenPort(3, 9600));
    EXPECT_EQ(port.OpenFailure().fault, PortFault::Missing);
    EXPECT_EQ(port.OpenFailure().device, "COM3");
}

TEST(PortListWin, FriendlyNamesLoseTheirPortTail) {
    EXPECT_EQ(AdapterOfFriendlyName("USB-SERIAL CH340 (COM3)", 3), "USB-SERIAL CH340");
    EXPECT_EQ(AdapterOfFriendlyName("Prolific USB-to-Serial Comm Port (COM12)", 12), "Prolific USB-to-Serial Comm Port");
    EXPECT_EQ(AdapterOfFriendlyName("USB-SERIAL CH340 (COM3)", 4), "USB-SERIAL CH340 (COM3)");
    EXPECT_EQ(AdapterOfFriendlyName("Communications Port", 1), "Communications Port");
    EXPECT_EQ(AdapterOfFriendlyName("", 1), "");
}

TEST(PortListWin, SystemPortsAreCountedByTheirOwnNames) {
    // Whatever this system has, each entry is COM<n> with n its own number.
    for (const SerialDevice& d : SystemSerialDevices()) {
        ASSERT_EQ(d.path.rfind("COM", 0), 0u) << d.path;
        PortNumbering numbering({}, [d] { return std::vector<SerialDevice>{d}; });
        const int n = std::stoi(d.path.substr(3));
        EXPECT_EQ(numbering.DeviceFor(n), d.path);
    }
}

}  // namespace
