// COM numbers for Linux devices, explicit bindings in ports/, the port box text rule.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>

#include "PortNumbering.h"

using namespace dt;

namespace {

std::vector<std::string> Texts(const std::vector<PortEntry>& entries) {
    std::vector<std::string> out;
    for (const PortEntry& e : entries) out.push_back(e.BoxText());
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
        {"no devices", {}, {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Texts(NumberPorts(c.devices, c.bindings)), c.expected) << c.name;
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
    PortNumbering numbering(ports.toStdString(), [] {
        return std::vector<std::string>{"/dev/ttyS1", "/dev/ttyUSB0"};
    });
    EXPECT_EQ(numbering.BoxEntries(), (std::vector<std::string>{"COM2 (/dev/ttyS1)", "COM33 (/dev/ttyUSB0)",
                                                                "COM5 (" + t + ")", "COM9 (" + t + ")"}));
    EXPECT_EQ(numbering.DeviceFor(5), t);
    EXPECT_EQ(numbering.DeviceFor(33), "/dev/ttyUSB0");
    EXPECT_EQ(numbering.DeviceFor(4), "");
    EXPECT_EQ(numbering.NumberOf(t), 5);
    EXPECT_EQ(numbering.NumberOf((ports + "/com5").toStdString()), 5);  // through the link too
    EXPECT_EQ(numbering.NumberOf("/dev/ttyS7"), 0);
}

TEST(PortNumbering, BoxOrderIsPlainTextOrder) {
    PortNumbering numbering("", [] { return std::vector<std::string>{"/dev/ttyS1", "/dev/ttyS9", "/dev/ttyS0"}; });
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
