// SerialPort on a pseudo-terminal: opening steps, reading what arrived, writing, the received
// notification, and a device that goes away.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
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
