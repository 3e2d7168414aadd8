// SerialPort on a pseudo-terminal: opening steps, reading what arrived, writing, the received
// notification, and a device that goes away.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ControllerCommands.h"
#include "ControllerProtocol.h"
#include "LinkTestSupport.h"
#include "SerialPort.h"

using namespace dt;
using namespace dt::test;

namespace {

// The controller's end of a pseudo-terminal.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;

    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) path = name;
        // Keep only the master: the port opens the slave by its path.
        if (slave >= 0) ::close(slave);
        slave = -1;
    }
    ~Pty() { CloseMaster(); }
    void CloseMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    void Send(const Bytes& bytes) const { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // What the port sent, collected for up to ms.
    Bytes Receive(size_t want, int ms = 1000) const {
        Bytes out;
        QElapsedTimer clock;
        clock.start();
        while (out.size() < want && clock.elapsed() < ms) {
            QCoreApplication::processEvents();  // Qt writes from the event loop
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                uint8_t buf[256];
                ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) out.insert(out.end(), buf, buf + n);
            }
        }
        return out;
    }
};

// A second process that holds a device open the way this tool does, until it is killed.
class Holder {
public:
    explicit Holder(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            QSerialPort port(QString::fromStdString(path));
            const char ok = port.open(QIODevice::ReadWrite) ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char ok = 0;
        held_ = pid_ > 0 && ::read(ready[0], &ok, 1) == 1 && ok == '1';
        ::close(ready[0]);
    }
    ~Holder() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    bool Held() const { return held_; }

private:
    pid_t pid_ = -1;
    bool held_ = false;
};

// Runs body in a child process under an unprivileged user; -1 when privileges cannot be dropped.
int AsUnprivilegedUser(const std::function<int()>& body) {
    if (::geteuid() != 0) return body();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// The message a Connect shows for a port that does not open.
std::string ConnectMessage(SerialPort& port, int number, Language language = LANG_ENGLISH) {
    ToolState state;
    state.language = language;
    RecordingHost host;
    ControllerProtocol protocol(state, host, port);
    ControllerCommands commands(state, host, port, protocol, "");
    state.settings.UartPort = number;
    EXPECT_FALSE(commands.OpenSelectedPort());
    return host.LastMessage();
}

}  // namespace

TEST(SerialPort, OpensReadsAndWritesAPseudoTerminal) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    SerialPort port([&](int n) { return n == 5 ? pty.path : std::string(); });
    QSignalSpy received(&port, &SerialPort::Received);

    ASSERT_TRUE(port.OpenPort(5, 9600)) << port.LastError();
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortNumber(), 5);
    uint8_t buf[64];
    EXPECT_EQ(port.Read(buf, sizeof buf), 0);  // nothing there: returns at once

    pty.Send({0x66, 0x02, 0x00, 0x68});
    ASSERT_TRUE(received.wait(1000));
    EXPECT_EQ(received.at(0).at(0).toInt(), 5);
    QTest::qWait(20);
    int n = port.Read(buf, sizeof buf);
    EXPECT_EQ(Hex(Bytes(buf, buf + n)), "66 02 00 68");

    const Bytes frame = MakeFrame(0x28, PatternBlock(8));
    EXPECT_EQ(port.Write(frame.data(), static_cast<int>(frame.size())), 36);
    EXPECT_EQ(pty.Receive(frame.size()), frame);
}

TEST(SerialPort, OpeningStepsRefuseBadNumbersAndUnknownDevices) {
    Pty pty;
    SerialPort port([&](int n) { return n == 5 ? pty.path : std::string(); });
    for (int n : {0, -1, 1025, 6}) {
        EXPECT_FALSE(port.OpenPort(n, 9600)) << n;
        EXPECT_FALSE(port.IsOpen()) << n;
        uint8_t b = 0x10;
        EXPECT_EQ(port.Write(&b, 1), 0);
    }
    EXPECT_FALSE(port.OpenDevice("/nonexistent/tty", 9600, 3));
    EXPECT_FALSE(port.LastError().empty());
}

TEST(SerialPort, ReopeningClosesAndWaits) {
    Pty pty;
    SerialPort port([&](int) { return pty.path; });
    ASSERT_TRUE(port.OpenPort(5, 9600));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(port.OpenPort(5, 19200));
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPort, LostDeviceClosesThePort) {
    auto pty = std::make_unique<Pty>();
    SerialPort port([&](int) { return pty->path; });
    QSignalSpy lost(&port, &SerialPort::DeviceLost);
    ASSERT_TRUE(port.OpenPort(4, 9600));
    pty->CloseMaster();  // the far end hangs up, as an unplugged adapter does
    EXPECT_TRUE(QTest::qWaitFor([&] { return !port.IsOpen(); }, 2000));
    EXPECT_EQ(lost.count(), 1);

    // The next command finds no open port.
    ToolState state;
    RecordingHost host;
    ControllerProtocol protocol(state, host, port);
    ControllerCommands commands(state, host, port, protocol, "");
    EXPECT_FALSE(commands.Upload());
    EXPECT_EQ(host.LastMessage(), "Please connect the device first");
}

TEST(SerialPort, EngineHandlesRepliesFromARealPort) {
    Pty pty;
    SerialPort port([&](int) { return pty.path; });
    ToolState state;
    RecordingHost host;
    ControllerProtocol protocol(state, host, port);
    ASSERT_TRUE(port.OpenPort(2, 9600));
    // A reply split over two writes, garbage first.
    pty.Send({0x01, 0x66, 0x03});
    QTest::qWait(30);
    pty.Send({0x00, 0x69});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.messages.empty(); }, 1000));
    EXPECT_EQ(host.LastMessage(), "Save the parameters successfully");
}

TEST(SerialPortFailure, ClassifiedFromTheErrorAndTheDevice) {
    struct Case { QSerialPort::SerialPortError error; DeviceAccess access; PortFault fault; };
    const Case cases[] = {
        {QSerialPort::DeviceNotFoundError, {false, false, ""}, PortFault::Missing},
        {QSerialPort::PermissionError, {false, false, ""}, PortFault::Missing},  // unplugged meanwhile
        {QSerialPort::ResourceError, {true, true, "dialout"}, PortFault::Missing},
        {QSerialPort::PermissionError, {true, false, "dialout"}, PortFault::NoPermission},
        {QSerialPort::OpenError, {true, false, "dialout"}, PortFault::NoPermission},
        {QSerialPort::PermissionError, {true, true, "dialout"}, PortFault::Busy},
        {QSerialPort::UnsupportedOperationError, {true, true, "dialout"}, PortFault::Other},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyOpenFailure(c.error, c.access), c.fault) << int(c.error);
}

TEST(SerialPortFailure, MissingDevicesSayCheckTheCable) {
    SerialPort port([](int n) { return n == 3 ? std::string("/nonexistent/ttyUSB9") : std::string(); });
    port.SetSettleMs(0);
    EXPECT_EQ(ConnectMessage(port, 3),
              "fail to open the serial port COM3 9600\nNothing answers at /nonexistent/ttyUSB9: check the cable "
              "and the adapter,\nthen choose the port again from the list.");
    EXPECT_EQ(ConnectMessage(port, 6),
              "fail to open the serial port COM6 9600\nNothing answers at COM6: check the cable and the adapter,\n"
              "then choose the port again from the list.");
    EXPECT_EQ(port.OpenFailure().fault, PortFault::Missing);
    EXPECT_EQ(ConnectMessage(port, 0).rfind("fail to open the serial port COM0 9600\nNothing answers at COM0", 0), 0u);
    // The hint is not kept past a good open.
    Pty pty;
    EXPECT_TRUE(port.OpenDevice(pty.path, 9600, 1));
    EXPECT_EQ(port.OpenFailure().fault, PortFault::None);
}

TEST(SerialPortFailure, APortHeldByAnotherProgramIsBusy) {
    Pty pty;
    Holder other(pty.path);
    ASSERT_TRUE(other.Held());
    SerialPort port([&](int) { return pty.path; });
    const std::string text = ConnectMessage(port, 2);
    EXPECT_EQ(port.OpenFailure().fault, PortFault::Busy) << port.LastError();
    EXPECT_EQ(text, "fail to open the serial port COM2 9600\nAnother program holds " + pty.path +
                        " (ModemManager or brltty, for example).\nThis names it: fuser -v " + pty.path + " (or lsof " +
                        pty.path + ")\nClose it, then connect again.");
    const std::string cn = ConnectMessage(port, 2, LANG_CHINESE);
    EXPECT_NE(cn.find("\n" + pty.path + " 已被其他程序占用"), std::string::npos) << cn;
}

TEST(SerialPortFailure, AUserOutsideTheDevicesGroupIsToldToJoinIt) {
    Pty pty;
    ASSERT_EQ(::chmod(pty.path.c_str(), 0), 0);
    // The real cause, when this process may become a user without access.
    const int fault = AsUnprivilegedUser([&] {
        SerialPort port;
        port.OpenDevice(pty.path, 9600, 1);
        return static_cast<int>(port.OpenFailure().fault);
    });
    if (fault >= 0) {
        EXPECT_EQ(fault, static_cast<int>(PortFault::NoPermission));
    }

    // The same through the seam, with the group that owns the device.
    SerialPort port([&](int) { return pty.path; });
    port.SetAccessProbe([](const std::string&) { return DeviceAccess{true, false, "uucp"}; });
    const bool opened = port.OpenPort(1, 9600);
    if (!opened) {  // root opens a mode-000 device anyway
        EXPECT_EQ(port.OpenFailure().fault, PortFault::NoPermission);
        EXPECT_EQ(ConnectMessage(port, 1),
                  "fail to open the serial port COM1 9600\nYour user may not open this port. Join the group uucp:\n"
                  "sudo usermod -aG uucp $USER\nthen log out and log in again.");
    }
    port.Close();
    Holder other(pty.path);  // root may open it: hold it and ask again, the probe still says no access
    ASSERT_TRUE(other.Held());
    SerialPort refused([&](int) { return pty.path; });
    refused.SetAccessProbe([](const std::string&) { return DeviceAccess{true, false, "root"}; });
    EXPECT_NE(ConnectMessage(refused, 1).find("Join the group dialout:\nsudo usermod -aG dialout $USER\n"),
              std::string::npos);
}
