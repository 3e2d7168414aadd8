// Whole exchanges through the commands, the engine and a controller on the in-memory port:
// the frames sent, the host calls in order, and the state left behind.
#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "Settings.h"

using namespace dt;
using namespace dt::test;

namespace {

using Steps = std::vector<std::string>;

constexpr int kAccelerationRow = 46;  // numeric, 50 to 1200
const std::string kUploadOk = "Message(Upload parameters successfully,info)";
const Steps kUploadCompletion = {"RebuildGroupTree", "BuildGrid", "SetLinkBusy(false)", "ShowValues", kUploadOk};
const std::vector<uint8_t> kStandardRead = {0x10, 0x11, 0x12, 0x13, 0x14, 0x18, 0x19, 0x1A, 0x1B, 0x1C};

Steps Join(Steps a, const Steps& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Requests first, then the read's. Sized and copied into, not inserted: MinGW's g++ 12 reports a
// range inserted into a short vector as out of bounds.
std::vector<uint8_t> ThenRead(std::initializer_list<uint8_t> first) {
    std::vector<uint8_t> out(first.size() + kStandardRead.size());
    std::copy(kStandardRead.begin(), kStandardRead.end(), std::copy(first.begin(), first.end(), out.begin()));
    return out;
}

}  // namespace

TEST(ProtocolChain, ConnectReadsAStandardControllerCompletely) {
    Rig rig;
    ASSERT_TRUE(rig.commands.Connect("COM3 (/dev/ttyS2)"));
    ASSERT_TRUE(rig.WaitMessages(1));
    rig.Settle();

    EXPECT_EQ(Hex(rig.port.Writes().at(0)), "66 02 00 68");
    EXPECT_EQ(Hex(rig.port.Writes().at(1)), "66 10 00 76");
    EXPECT_EQ(rig.controller.requests, ThenRead({0x02}));
    EXPECT_EQ(rig.host.Steps(), Join({"SetLinkBusy(true)"}, kUploadCompletion));

    EXPECT_EQ(rig.state.block.bytes, rig.controller.block.bytes);
    EXPECT_TRUE(rig.state.link.identityReceived);
    EXPECT_EQ(rig.state.kind, ControllerKind::Standard);
    EXPECT_EQ(rig.state.modelWord, 0x04D2);
    EXPECT_TRUE(rig.state.dataValid);
    EXPECT_FALSE(rig.timeout.IsRunning());
    EXPECT_EQ(rig.state.settings.UartPort, 3);
    EXPECT_EQ(LoadSettings(rig.settingsPath).UartPort, 3);
    EXPECT_EQ(rig.port.Baud(), 9600);
}

TEST(ProtocolChain, VersionRuleDecidesTheUploadMessage) {
    struct Case { uint16_t modelWord; const char* message; MessageKind type; };
    const Case cases[] = {
        {0x04D2, "Upload parameters successfully", MessageKind::Info},
        {0x0539, "Upload parameters successfully", MessageKind::Info},
        {0x0000, "Upload parameters successfully", MessageKind::Info},
        {0x04D1, "Software version does not match with the controller", MessageKind::Warning},
        {0x053A, "Software version does not match with the controller", MessageKind::Warning},
        {0x08D2, "Software version does not match with the controller", MessageKind::Warning},
        {0xFEFF, "Software version does not match with the controller", MessageKind::Warning},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.controller.MakeStandard(c.modelWord);
        rig.OpenPort();
        ASSERT_TRUE(rig.commands.Upload());
        ASSERT_TRUE(rig.WaitMessages(1)) << std::hex << c.modelWord;
        EXPECT_EQ(rig.host.messages.at(0), std::make_pair(std::string(c.message), c.type)) << std::hex << c.modelWord;
        // The grid is filled in either case, and a 0xFEFF controller is a standard one.
        EXPECT_EQ(rig.controller.requests, kStandardRead) << std::hex << c.modelWord;
        EXPECT_EQ(rig.host.Steps().back(), "Message(" + std::string(c.message) + "," + RecordingHost::KindName(c.type) + ")");
    }
}

TEST(ProtocolChain, FocControllerReadIsIdentityThenFocBlock) {
    Rig rig;
    rig.controller.MakeFoc();
    rig.OpenPort();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    rig.Settle();
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x10, 0x11}));
    EXPECT_EQ(rig.host.Steps(), Join({"SetLinkBusy(true)"}, kUploadCompletion));
    EXPECT_EQ(rig.state.kind, ControllerKind::Foc);
    EXPECT_EQ(rig.state.foc.bytes, rig.controller.foc.bytes);
    // No identity parse for an FOC controller.
    EXPECT_EQ(rig.state.modelWord, kNoModelWord);
    EXPECT_FALSE(rig.state.dataValid);
}

TEST(ProtocolChain, StandardIdentityAfterAnFocOneClearsFocMode) {
    Rig rig;
    rig.controller.MakeFoc();
    rig.OpenPort();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    ASSERT_EQ(rig.state.kind, ControllerKind::Foc);

    rig.controller.MakeStandard();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.state.kind, ControllerKind::Standard);

    rig.controller.ClearLog();
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(3));
    // Never a FocBlock to a standard controller.
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x80}));
}

TEST(ProtocolChain, StandardDownloadWritesFiveBlocksThenStores) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    // An edit on the sheet reaches the blocks sent.
    ASSERT_TRUE(rig.state.sheet.SetCell(kAccelerationRow, "    777"));

    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.host.Steps(),
              (Steps{"SetLinkBusy(true)", "SetLinkBusy(false)", "Message(Download parameters successfully,info)"}));
    EXPECT_EQ(rig.Events(), (Steps{"check accepted", "block 1/5", "block 2/5", "block 3/5", "block 4/5", "block 5/5",
                                   "download stored"}));
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x80}));
    for (int i = 0; i < 5; ++i) {
        const int code = 8 + i;
        EXPECT_EQ(rig.controller.payloads[i], BlockOf(rig.state.block, code)) << code;
    }
    EXPECT_EQ(rig.state.link.pendingOperation, PendingOperation::Download);
    // Stored: the sent set is the controller's now.
    EXPECT_EQ(rig.state.sheet.ChangedCount(), 0);
    EXPECT_EQ(*rig.state.sheet.Baseline(kAccelerationRow), "777");

    rig.host.Clear();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.state.sheet.Text(kAccelerationRow), "777");
}

TEST(ProtocolChain, RefusedValidationSendsNothing) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    rig.state.sheet.SetCell(kAccelerationRow, "99999");

    EXPECT_FALSE(rig.commands.Download());
    rig.Settle();
    EXPECT_TRUE(rig.controller.requests.empty());
    // The listener presents the refusal; the link shows nothing itself.
    EXPECT_TRUE(rig.host.Steps().empty());
    EXPECT_EQ(rig.Events(), (Steps{"check refused"}));
    EXPECT_EQ(rig.state.sheet.ChangedRows(), (std::vector<int>{kAccelerationRow}));
}

TEST(ProtocolChain, FocDownloadSendsTheFocBlock) {
    Rig rig;
    rig.controller.MakeFoc();
    rig.OpenPort();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    rig.state.foc.SetByte(0, 0x5A);
    rig.controller.ClearLog();

    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x21, 0x80}));
    EXPECT_EQ(rig.controller.foc.bytes, rig.state.foc.bytes);
    EXPECT_EQ(rig.host.messages.back().first, "Download parameters successfully");
}

TEST(ProtocolChain, AcknowledgementChainFromSection3) {
    // A standard controller's 0x21 acknowledgement walks section 3 blocks 1..3, then the download.
    Rig rig;
    rig.OpenPort();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    rig.controller.ClearLog();
    rig.port.Feed(MakeFrame(0x21));
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x22, 0x23, 0x24, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x80}));
    EXPECT_EQ(rig.controller.payloads[0], rig.controller.BlockBytes(2));
}

TEST(ProtocolChain, StoreAndItsOutcomes) {
    struct Case { bool fail; const char* message; MessageKind type; };
    for (const Case& c : {Case{false, "Save the parameters successfully", MessageKind::Info},
                          Case{true, "Fail to Save the parameters", MessageKind::Error}}) {
        Rig rig;
        rig.OpenPort();
        rig.commands.Upload();
        ASSERT_TRUE(rig.WaitMessages(1));
        rig.controller.ClearLog();
        rig.controller.failStore = c.fail;
        rig.state.link.pendingOperation = PendingOperation::Download;

        ASSERT_TRUE(rig.commands.Store());
        EXPECT_EQ(Hex(rig.port.Writes().back()), "66 80 00 E6");
        ASSERT_TRUE(rig.WaitMessages(2));
        EXPECT_EQ(rig.host.messages.back(), std::make_pair(std::string(c.message), c.type));
        EXPECT_TRUE(rig.host.enabled);
        EXPECT_EQ(rig.controller.requests, std::vector<uint8_t>{0x80});
    }
}

TEST(ProtocolChain, DownloadFailureIsAnInfoMessage) {
    Rig rig;
    rig.OpenPort();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    rig.controller.failStore = true;
    rig.commands.Download();
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.host.messages.back(), std::make_pair(std::string("Fail to Download parameters"), MessageKind::Info));
}

TEST(ProtocolChain, StoreOutcomeWithNothingPendingReportsAStore) {
    Rig rig;
    rig.OpenPort();
    rig.port.Feed(MakeFrame(0x03));
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.host.Steps(), (Steps{"SetLinkBusy(false)", "Message(Save the parameters successfully,info)"}));
}

TEST(ProtocolChain, RestoreDefaultsThenReadsTheControllerAgain) {
    struct Case { bool fail; const char* message; };
    for (const Case& c : {Case{false, "Restore the default parameters successfully"},
                          Case{true, "Fail to Restore the default parameters"}}) {
        Rig rig;
        rig.controller.failStore = c.fail;
        rig.controller.SetBlock(9, Bytes(32, 0x11));  // factory set differs from the current one
        rig.OpenPort();
        // Accepted before any read.
        ASSERT_TRUE(rig.commands.Default());
        EXPECT_EQ(Hex(rig.port.Writes().at(0)), "66 81 00 E7");
        ASSERT_TRUE(rig.WaitMessages(2));
        EXPECT_EQ(rig.controller.requests, ThenRead({0x81, 0x80}));
        EXPECT_EQ(rig.host.Steps(), Join({"SetLinkBusy(true)", "SetLinkBusy(false)", "Message(" + std::string(c.message) + ",info)"},
                                         kUploadCompletion));
        EXPECT_EQ(rig.state.link.pendingOperation, PendingOperation::RestoreDefaults);
    }
}

TEST(ProtocolChain, RepeatedZeroAnswersKeepConnecting) {
    Rig rig;
    rig.controller.answer00 = 3;
    rig.OpenPort();
    rig.commands.StartConnect();
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(std::count(rig.controller.requests.begin(), rig.controller.requests.end(), 0x02), 4);
    EXPECT_EQ(std::count(rig.host.calls.begin(), rig.host.calls.end(), "SetLinkBusy(true)"), 4);
    EXPECT_EQ(rig.host.LastMessage(), "Upload parameters successfully");
}

TEST(ProtocolChain, ShortBlockReplyStopsTheReadWithALengthError) {
    Rig rig;
    rig.controller.shortBlockReply = 0x12;
    rig.OpenPort();
    rig.commands.Upload();
    ASSERT_TRUE(rig.WaitMessages(1));
    rig.Settle();
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x10, 0x11, 0x12}));
    EXPECT_EQ(rig.host.Steps(), (Steps{"SetLinkBusy(true)", "SetLinkBusy(false)", "Message(Data packet length error,error)"}));
    EXPECT_FALSE(rig.timeout.IsRunning());
}

TEST(ProtocolChain, UnlistedRepliesAreIgnored) {
    Rig rig;
    rig.OpenPort();
    rig.port.Feed(Concat({MakeFrame(0x15, Bytes(32, 1)), MakeFrame(0x2F), MakeFrame(0x05), MakeFrame(0x7E, Bytes(3, 1))}));
    rig.Settle();
    EXPECT_TRUE(rig.controller.requests.empty());
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_EQ(rig.protocol.Buffer().Count(), 0);
}

TEST(ProtocolChain, NotificationsForAnotherPortAreIgnored) {
    Rig rig;
    rig.OpenPort();
    rig.port.Feed(MakeFrame(0x03));  // its own notification is still queued
    rig.protocol.OnPortReceived(4);
    EXPECT_TRUE(rig.host.calls.empty());
    EXPECT_EQ(rig.port.BytesAvailable(), 4);
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.host.LastMessage(), "Save the parameters successfully");
}

TEST(ProtocolChain, SendFrameNeedsAnOpenPortAndALegalLength) {
    Rig rig;
    rig.protocol.SendRequest(0x10);
    EXPECT_TRUE(rig.port.Written().empty());
    rig.OpenPort();
    Bytes big(253, 0);
    rig.protocol.SendFrame(0x21, big.data(), 253);
    EXPECT_TRUE(rig.port.Written().empty());
    rig.protocol.SendFrame(0x21, big.data(), 32);
    EXPECT_EQ(rig.port.Written().size(), 36u);
}
