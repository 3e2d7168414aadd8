// Preconditions of the commands, port opening at start-up and on Connect, and the time-out.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>

#include "LinkTestSupport.h"
#include "Settings.h"

using namespace dt;
using namespace dt::test;

namespace {
const std::pair<std::string, MessageKind> kNotConnected{"Please connect the device first", MessageKind::Warning};
}

TEST(ControllerCommands, RefusedWithoutAnOpenPort) {
    struct Case { const char* name; bool (ControllerCommands::*command)(); };
    for (const Case& c : {Case{"Upload", &ControllerCommands::Upload}, Case{"Download", &ControllerCommands::Download},
                          Case{"Store", &ControllerCommands::Store}, Case{"Default", &ControllerCommands::Default},
                          Case{"StartConnect", &ControllerCommands::StartConnect}}) {
        Rig rig;
        rig.state.link.identityReceived = true;
        EXPECT_FALSE((rig.commands.*c.command)()) << c.name;
        EXPECT_EQ(rig.host.messages, (std::vector<std::pair<std::string, MessageKind>>{kNotConnected})) << c.name;
        EXPECT_TRUE(rig.port.Written().empty()) << c.name;
        EXPECT_TRUE(rig.host.enabled) << c.name;
    }
}

TEST(ControllerCommands, StoreAndDownloadNeedAnIdentityDefaultDoesNot) {
    Rig rig;
    rig.OpenPort();
    EXPECT_FALSE(rig.commands.Store());
    EXPECT_FALSE(rig.commands.Download());
    EXPECT_EQ(rig.host.messages, (std::vector<std::pair<std::string, MessageKind>>{kNotConnected, kNotConnected}));
    EXPECT_TRUE(rig.port.Written().empty());
    // Download is refused before the sheet is checked.
    EXPECT_TRUE(rig.Events().empty());
    EXPECT_TRUE(rig.commands.Default());
}

TEST(ControllerCommands, ConnectOpenFailuresNameThePortAndTheRate) {
    struct Case { const char* box; int baud; bool refused; const char* message; int saved; int readBack; };
    // A number no port box or --port can name (0, or beyond COM1024) reads back as COM1.
    const Case cases[] = {
        {"", 9600, false, "fail to open the serial port COM0 9600", 0, 1},
        {"XYZ", 9600, false, "fail to open the serial port COM0 9600", 0, 1},
        {"COM1025", 19200, false, "fail to open the serial port COM1025 19200", 1025, 1},
        {"COM3 (/dev/ttyS2)", 9600, true, "fail to open the serial port COM3 9600", 3, 3},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.state.settings.Baudrate = c.baud;
        rig.port.SetOpenRefused(c.refused);
        EXPECT_FALSE(rig.commands.Connect(c.box)) << c.box;
        EXPECT_EQ(rig.host.messages, (std::vector<std::pair<std::string, MessageKind>>{{c.message, MessageKind::Error}})) << c.box;
        EXPECT_TRUE(rig.port.Written().empty()) << c.box;
        EXPECT_TRUE(rig.host.enabled) << c.box;
        EXPECT_EQ(LoadSettings(rig.settingsPath).UartPort, c.readBack) << c.box;
        EXPECT_EQ(rig.state.settings.UartPort, c.saved) << c.box;
    }
}

TEST(ControllerCommands, ConnectClosesAnOpenPortFirst) {
    Rig rig;
    rig.OpenPort();
    rig.controller.silent = true;
    ASSERT_TRUE(rig.commands.Connect("COM7 (/dev/ttyS6)"));
    EXPECT_EQ(rig.port.OpenCount(), 2);
    EXPECT_EQ(rig.port.PortNumber(), 7);
    EXPECT_EQ(Hex(rig.port.Written()), "66 02 00 68");
    EXPECT_EQ(rig.host.Steps(), std::vector<std::string>{"SetLinkBusy(true)"});
}

TEST(ControllerCommands, PanelStartUpOpensWithoutSending) {
    struct Case { const char* box; bool refused; bool open; std::vector<std::pair<std::string, MessageKind>> messages; };
    const Case cases[] = {
        {"COM5 (/dev/ttyS4)", false, true, {}},
        {"", false, false, {}},  // no ports: nothing opened, nothing shown
        {"COM5 (/dev/ttyS4)", true, false, {{"fail to open the serial port COM5 9600", MessageKind::Error}}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.port.SetOpenRefused(c.refused);
        rig.commands.InitialisePanel(c.box);
        EXPECT_EQ(rig.port.IsOpen(), c.open) << c.box;
        EXPECT_EQ(rig.host.messages, c.messages) << c.box;
        EXPECT_TRUE(rig.port.Written().empty());
        EXPECT_EQ(std::count_if(rig.host.calls.begin(), rig.host.calls.end(),
                                [](const std::string& s) { return s.rfind("SetLinkBusy", 0) == 0; }), 0);
        EXPECT_EQ(LoadSettings(rig.settingsPath).UartPort, c.box[0] ? 5 : 1) << "0 is stored, read back as 1";
    }
}

TEST(ControllerCommands, PanelStartUpWithAnEmptyBoxClosesAnOpenPort) {
    Rig rig;
    rig.OpenPort();
    rig.commands.InitialisePanel("");
    EXPECT_FALSE(rig.port.IsOpen());
    EXPECT_EQ(rig.state.settings.UartPort, 0);
}

// The time-out by its ticks: the message comes at the eleventh.
TEST(ReplyTimeout, EleventhTickShowsTheMessageAndEndsTheBusyState) {
    ToolState state;
    RecordingHost host;
    ReplyTimeout timeout(state, host, 60 * 60 * 1000);  // ticks by hand only
    host.timeout = &timeout;
    QSignalSpy timedOut(&timeout, &ReplyTimeout::TimedOut);

    host.SetLinkBusy(true);
    for (int i = 0; i < 5; ++i) timeout.Tick();
    host.SetLinkBusy(true);  // a new exchange starts the count again
    for (int i = 0; i < 10; ++i) timeout.Tick();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(timeout.IsRunning());
    timeout.Tick();
    EXPECT_EQ(host.Steps(), (std::vector<std::string>{"SetLinkBusy(true)", "SetLinkBusy(true)",
                                                      "Message(no response because of timeout,error)", "SetLinkBusy(false)"}));
    EXPECT_FALSE(timeout.IsRunning());
    EXPECT_EQ(timedOut.count(), 1);
}

TEST(ReplyTimeout, SilentControllerTimesOutAfterAbout2200ms) {
    Rig rig;
    rig.controller.silent = true;
    rig.OpenPort();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(rig.commands.Upload());
    EXPECT_FALSE(rig.host.enabled);
    ASSERT_TRUE(rig.WaitMessages(1, 4000));
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(elapsed, 2100);
    EXPECT_LE(elapsed, 3000);
    EXPECT_EQ(rig.host.Steps(), (std::vector<std::string>{"SetLinkBusy(true)", "Message(no response because of timeout,error)",
                                                          "SetLinkBusy(false)"}));
    EXPECT_TRUE(rig.host.enabled);
}

TEST(ReplyTimeout, ZeroAnswerRestartsTheCount) {
    Rig rig;
    rig.controller.silent = true;
    rig.OpenPort();
    rig.timeout.SetLinkBusy(false);
    rig.commands.StartConnect();
    for (int i = 0; i < 8; ++i) rig.timeout.Tick();
    rig.port.Feed(MakeFrame(0x00));
    rig.Settle();
    EXPECT_EQ(rig.timeout.Count(), 0);
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x02, 0x02}));
    for (int i = 0; i < 10; ++i) rig.timeout.Tick();
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(ReplyTimeout, LateReplyContinuesItsChain) {
    Rig rig;
    rig.controller.silent = true;
    rig.OpenPort();
    rig.commands.Upload();
    for (int i = 0; i < 11; ++i) rig.timeout.Tick();
    ASSERT_EQ(rig.host.LastMessage(), "no response because of timeout");
    EXPECT_FALSE(rig.state.link.identityReceived);

    // The controller wakes up and answers the 0x10 it was sent.
    rig.controller.silent = false;
    rig.port.Feed(MakeFrame(0x10, rig.controller.BlockBytes(0)));
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.host.LastMessage(), "Upload parameters successfully");
    EXPECT_EQ(rig.state.block.bytes, rig.controller.block.bytes);
}
