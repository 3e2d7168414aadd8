// COM numbers for Linux devices, explicit bindings in ports/, the port box text rule.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <QDir>
#include <QFile>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <climits>
#include <set>
#include <tuple>

#include "PortNumbering.h"
#include "SerialDevices.h"

using namespace dt;

namespace {

std::vector<std::string> Texts(const std::vector<PortEntry>& entries) {
    std::vector<std::string> out;
    for (const PortEntry& e : entries) out.push_back(e.BoxText());
    return out;
}

// Devices the system would report without a description.
std::vector<SerialDevice> Devices(const std::vector<std::string>& paths) {
    std::vector<SerialDevice> out;
    for (const std::string& p : paths) out.push_back({p, "", ""});
    return out;
}

}  // namespace

TEST(PortNumbering, AutomaticNumbers) {
    struct Case {
        const char* name;
        std::vector<std::string> devices;
        std::vector<PortBinding> bindings;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"kernel names",
         {"/dev/ttyUSB0", "/dev/ttyS3", "/dev/ttyS0", "/dev/ttyACM2", "/dev/ttyUSB31"},
         {},
         {"COM1 (/dev/ttyS0)", "COM4 (/dev/ttyS3)", "COM33 (/dev/ttyUSB0)", "COM64 (/dev/ttyUSB31)",
          "COM67 (/dev/ttyACM2)"}},
        {"others from 97 in name order, also past a band",
         {"/dev/ttyS40", "/dev/ttyAMA0", "/dev/rfcomm0", "/dev/ttyS1"},
         {},
         {"COM2 (/dev/ttyS1)", "COM97 (/dev/rfcomm0)", "COM98 (/dev/ttyAMA0)", "COM99 (/dev/ttyS40)"}},
        {"names that only look like kernel names",
         {"/dev/ttySAC0", "/dev/ttyUSB", "/dev/ttyS01"},
         {},
         {"COM97 (/dev/ttyS01)", "COM98 (/dev/ttySAC0)", "COM99 (/dev/ttyUSB)"}},
        {"a binding wins its number; the displaced device moves to the others",
         {"/dev/ttyUSB0", "/dev/ttyS0"},
         {{33, "/dev/pts/7"}},
         {"COM1 (/dev/ttyS0)", "COM33 (/dev/pts/7)", "COM97 (/dev/ttyUSB0)"}},
        {"a bound device is not listed twice",
         {"/dev/ttyUSB0"},
         {{5, "/dev/ttyUSB0"}},
         {"COM5 (/dev/ttyUSB0)"}},
        {"a binding may take a number from 97 up",
         {"/dev/rfcomm0"},
         {{97, "/dev/pts/3"}},
         {"COM97 (/dev/pts/3)", "COM98 (/dev/rfcomm0)"}},
        {"the last index of each band, and the first past it",
         {"/dev/ttyS31", "/dev/ttyS32", "/dev/ttyUSB31", "/dev/ttyUSB32", "/dev/ttyACM31", "/dev/ttyACM32"},
         {},
         {"COM32 (/dev/ttyS31)", "COM64 (/dev/ttyUSB31)", "COM96 (/dev/ttyACM31)", "COM97 (/dev/ttyACM32)",
          "COM98 (/dev/ttyS32)", "COM99 (/dev/ttyUSB32)"}},
        {"no devices", {}, {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Texts(NumberPorts(Devices(c.devices), c.bindings)), c.expected) << c.name;
}

TEST(PortNumbering, BindingsFromThePortsFolder) {
    QTemporaryDir dir;
    QDir d(dir.path());
    d.mkdir("ports");
    QFile device(dir.filePath("fake-tty"));
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    device.close();
    const QString target = dir.filePath("fake-tty");
    const QString ports = dir.filePath("ports");
    for (const char* name : {"com5", "COM9", "com0", "com1025", "comx", "com05"})
        ASSERT_TRUE(QFile::link(target, ports + "/" + name)) << name;
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), ports + "/com7"));  // dangling: skipped
    QFile plain(ports + "/com11");                                     // not a link: skipped
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));

    std::vector<std::pair<int, std::string>> got;
    for (const PortBinding& b : ReadPortBindings(ports.toStdString())) got.push_back({b.number, b.device});
    std::sort(got.begin(), got.end());
    const std::string t = target.toStdString();
    EXPECT_EQ(got, (std::vector<std::pair<int, std::string>>{{5, t}, {9, t}}));
    EXPECT_TRUE(ReadPortBindings(dir.filePath("missing").toStdString()).empty());

    // The system view: bindings (each one as given) plus listed devices, box entries in text order.
    PortNumbering numbering(ports.toStdString(), [] { return Devices({"/dev/ttyS1", "/dev/ttyUSB0"}); });
    EXPECT_EQ(numbering.BoxEntries(), (std::vector<std::string>{"COM2 (/dev/ttyS1)", "COM33 (/dev/ttyUSB0)",
                                                                "COM5 (" + t + ")", "COM9 (" + t + ")"}));
    EXPECT_EQ(numbering.DeviceFor(5), t);
    EXPECT_EQ(numbering.DeviceFor(33), "/dev/ttyUSB0");
    EXPECT_EQ(numbering.DeviceFor(4), "");
    EXPECT_EQ(numbering.NumberOf(t), 5);
    EXPECT_EQ(numbering.NumberOf((ports + "/com5").toStdString()), 5);  // through the link too
    EXPECT_EQ(numbering.NumberOf("/dev/ttyS7"), 0);
}

// A link whose target's name is no UTF-8 (made in another locale) still opens its device.
TEST(PortNumbering, ABindingWhoseTargetIsNoUtf8ReachesItsDevice) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    ASSERT_EQ(::mkdir((root + "/ports").c_str(), 0700), 0);
    const std::string device = root + "/tty";
    std::ofstream(device).put('x');
    const std::string latin1 = root + "/ger\xE4t";  // "gerät" in Latin-1
    ASSERT_EQ(::symlink(device.c_str(), latin1.c_str()), 0);
    ASSERT_EQ(::symlink(latin1.c_str(), (root + "/ports/com6").c_str()), 0);
    const std::vector<PortBinding> bindings = ReadPortBindings(root + "/ports");
    ASSERT_EQ(bindings.size(), 1u);
    EXPECT_EQ(bindings[0].number, 6);
    EXPECT_EQ(bindings[0].device, device);
}

TEST(PortNumbering, BoxOrderIsPlainTextOrder) {
    PortNumbering numbering("", [] { return Devices({"/dev/ttyS1", "/dev/ttyS9", "/dev/ttyS0"}); });
    EXPECT_EQ(numbering.BoxEntries(),
              (std::vector<std::string>{"COM1 (/dev/ttyS0)", "COM10 (/dev/ttyS9)", "COM2 (/dev/ttyS1)"}));
}

TEST(PortNumbering, TakePortFromList) {
    struct Case { const char* text; int number; };
    const Case cases[] = {
        {"COM12", 12}, {"COM 7", 7}, {"COM\t9", 9}, {"XYZ", 0}, {"", 0}, {"CO", 0}, {"COM", 0},
        {"COM3 (/dev/ttyS2)", 3}, {"COM97 (/dev/rfcomm0)", 97}, {"COM-4", -4}, {"COM+5", 5},
        {"COM7x", 7}, {"COM99999999999", INT_MAX}, {"端口7", 0}, {"端口号8", 8},
    };
    for (const Case& c : cases) EXPECT_EQ(TakePortFromList(c.text), c.number) << c.text;
}

TEST(PortNumbering, EntriesNameTheAdapter) {
    struct Case { const char* description; const char* maker; const char* entry; };
    const Case cases[] = {
        {"USB-Serial CH340", "", "COM33 (/dev/ttyUSB0, USB-Serial CH340)"},
        {"USB2.0-Serial", "QinHeng Electronics", "COM33 (/dev/ttyUSB0, USB2.0-Serial QinHeng Electronics)"},
        {"FT232R USB UART", "FTDI", "COM33 (/dev/ttyUSB0, FT232R USB UART FTDI)"},
        {"Prolific USB-Serial", "prolific", "COM33 (/dev/ttyUSB0, Prolific USB-Serial)"},  // maker named once
        {"", "Silicon Labs", "COM33 (/dev/ttyUSB0, Silicon Labs)"},
        {"", "", "COM33 (/dev/ttyUSB0)"},
        {"  Bad\nName\t ", "\x1b[31m", "COM33 (/dev/ttyUSB0, BadName [31m)"},  // no line breaks or escapes
    };
    for (const Case& c : cases) {
        const auto entries = NumberPorts({{"/dev/ttyUSB0", c.description, c.maker}}, {});
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].BoxText(), c.entry);
        EXPECT_EQ(TakePortFromList(entries[0].BoxText()), 33) << c.entry;
    }

    // udev's encoded names read as their makers write them.
    EXPECT_EQ(UdevNameText("FT232R_USB_UART"), "FT232R USB UART");
    EXPECT_EQ(UdevNameText("Silicon_Labs"), "Silicon Labs");
    EXPECT_EQ(UdevNameText(nullptr), "");

    // A bound device keeps the adapter name the system gives it.
    QTemporaryDir dir;
    const std::string dev = dir.filePath("ttyUSB0").toStdString();
    QFile(QString::fromStdString(dev)).open(QIODevice::WriteOnly);
    EXPECT_EQ(Texts(NumberPorts({{dev, "CP2102", "Silicon Labs"}}, {{5, dev}})),
              (std::vector<std::string>{"COM5 (" + dev + ", CP2102 Silicon Labs)"}));
}

TEST(PortNumbering, OneScanPerActionAndNoneForABoundNumber) {
    QTemporaryDir dir;
    const QString ports = dir.filePath("ports");
    QDir().mkpath(ports);
    const QString bound = dir.filePath("bound-tty");
    QFile(bound).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(bound, ports + "/com5"));
    const QString plugged = dir.filePath("ttyUSB0");
    QFile(plugged).open(QIODevice::WriteOnly);

    std::vector<std::string> present = {plugged.toStdString()};
    PortNumbering numbering(ports.toStdString(), [&] { return Devices(present); });

    // A bound number, by number or by path, is found without a scan.
    EXPECT_EQ(numbering.DeviceFor(5), bound.toStdString());
    EXPECT_EQ(numbering.NumberOf(bound.toStdString()), 5);
    EXPECT_EQ(numbering.ScanCount(), 0);

    // Start-up: the box lists (one scan), the port opens from that scan.
    EXPECT_EQ(numbering.BoxEntries().size(), 2u);
    EXPECT_EQ(numbering.DeviceFor(33), plugged.toStdString());
    EXPECT_EQ(numbering.ScanCount(), 1);
    // A later Connect to the same port: still there, no scan.
    EXPECT_EQ(numbering.DeviceFor(33), plugged.toStdString());
    EXPECT_EQ(numbering.ScanCount(), 1);
    // An adapter plugged in since: one scan finds it; one that is gone is looked for once.
    present.push_back("/dev/ttyACM0");
    EXPECT_EQ(numbering.DeviceFor(65), "/dev/ttyACM0");
    EXPECT_EQ(numbering.ScanCount(), 2);
    EXPECT_EQ(numbering.DeviceFor(40), "");
    EXPECT_EQ(numbering.ScanCount(), 3);
    // Each drop-down of the box scans afresh.
    numbering.BoxEntries();
    EXPECT_EQ(numbering.ScanCount(), 4);

    // A fresh numbering that misses does not scan twice.
    PortNumbering first(ports.toStdString(), [&] { return Devices(present); });
    EXPECT_EQ(first.DeviceFor(40), "");
    EXPECT_EQ(first.ScanCount(), 1);
}

// Only ttys backed by a device, and the virtual kinds that are serial ports, are asked of udev;
// a virtual console, a dangling device link or a hidden entry is not.
TEST(SerialScan, CandidatesFromTheTtyFolder) {
    QTemporaryDir sys;
    QDir root(sys.path());
    for (const char* name : {"tty0", "ptmx", "ttyS0/device", "ttyUSB0", "rfcomm0", "tnt1", "ttyGS0", ".x/device", "ttyACM0"})
        ASSERT_TRUE(root.mkpath(QString::fromLatin1(name)));
    ASSERT_TRUE(root.mkpath(QStringLiteral("devices/usb1")));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("devices/usb1")), root.filePath(QStringLiteral("ttyUSB0/device"))));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("gone")), root.filePath(QStringLiteral("ttyACM0/device"))));

    EXPECT_EQ(SerialCandidates(sys.path().toStdString()),
              (std::vector<std::string>{"rfcomm0", "tnt1", "ttyGS0", "ttyS0", "ttyUSB0"}));
    EXPECT_TRUE(SerialCandidates(sys.path().toStdString() + "/missing").empty());
}

// The quick scan reports what Qt's full scan reports, on whatever machine runs the tests.
TEST(SerialScan, SameDevicesAsQtsScan) {
    std::set<std::tuple<std::string, std::string, std::string>> qt, ours;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        qt.insert({info.systemLocation().toStdString(), info.description().toStdString(),
                   info.manufacturer().toStdString()});
    for (const SerialDevice& d : SystemSerialDevices()) ours.insert({d.path, d.description, d.maker});
    EXPECT_EQ(ours, qt);
}
