// What the link tells its listeners, exchange by exchange, and the edit sheet it keeps: the
// baseline after reads, stored and refused downloads and a restore; a download stopped after
// the block in flight.
#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "ValueCodec.h"

using namespace dt;
using namespace dt::test;

namespace {

using Events = std::vector<std::string>;

constexpr int kAccelerationRow = 46;  // numeric, 50 to 1200

// The controller's acceleration set behind the tool's back (another tool, a technician).
void SetControllerAcceleration(Rig& rig, const std::string& text) {
    ToolState copy = rig.state;
    copy.block = rig.controller.block;
    StoreText(copy, copy.Tables().ParameterSettings().rows[kAccelerationRow], text);
    rig.controller.block = copy.block;
}

}  // namespace

TEST(LinkEvents, EachExchangeTellsItsOutcome) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> setUp;
        std::function<bool(Rig&)> command;
        Events events;
    } cases[] = {
        {"upload", {}, [](Rig& r) { return r.commands.Upload(); }, {"read standard"}},
        {"upload, other version", [](Rig& r) { r.controller.MakeStandard(0x04D1); },
         [](Rig& r) { return r.commands.Upload(); }, {"read standard mismatch"}},
        {"upload FOC", [](Rig& r) { r.controller.MakeFoc(); }, [](Rig& r) { return r.commands.Upload(); },
         {"read foc"}},
        {"store", {}, [](Rig& r) { return r.commands.Store(); }, {"store stored"}},
        {"store refused", [](Rig& r) { r.controller.failStore = true; }, [](Rig& r) { return r.commands.Store(); },
         {"store refused"}},
        {"default", {}, [](Rig& r) { return r.commands.Default(); }, {"restore stored", "read standard"}},
        {"default refused", [](Rig& r) { r.controller.failStore = true; },
         [](Rig& r) { return r.commands.Default(); }, {"restore refused", "read standard"}},
        {"download refused", [](Rig& r) { r.controller.failStore = true; },
         [](Rig& r) { return r.commands.Download(); },
         {"check accepted", "block 1/5", "block 2/5", "block 3/5", "block 4/5", "block 5/5", "download refused"}},
        {"short block", [](Rig& r) { r.controller.shortBlockReply = 0x18; }, [](Rig& r) { return r.commands.Upload(); },
         {"lost bad reply"}},
    };
    for (const Case& c : cases) {
        Rig rig;
        ASSERT_TRUE(rig.ReadOnce()) << c.name;
        if (c.setUp) c.setUp(rig);
        ASSERT_TRUE(c.command(rig)) << c.name;
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.recorder.events.size() >= c.events.size(); }, 1000))
            << c.name << ": timed out";
        rig.Settle();
        EXPECT_EQ(rig.Events(), c.events) << c.name;
        EXPECT_TRUE(rig.host.enabled) << c.name;
    }
}

TEST(LinkEvents, AnFocDownloadIsOneBlock) {
    Rig rig;
    rig.controller.MakeFoc();
    ASSERT_TRUE(rig.ReadOnce());
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.Events(), (Events{"check accepted", "block 1/1", "download stored"}));
}

TEST(LinkEvents, TimeOutAndLostDeviceEndTheExchange) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    rig.controller.silent = true;
    ASSERT_TRUE(rig.commands.Upload());
    for (int tick = 0; tick <= 10; ++tick) rig.timeout.Tick();
    EXPECT_EQ(rig.Events(), (Events{"lost timeout"}));
    EXPECT_EQ(rig.host.LastMessage(), "no response because of timeout");

    rig.recorder.events.clear();
    rig.protocol.PortLost("No such device");
    EXPECT_EQ(rig.Events(), (Events{"lost device gone (No such device)"}));
}

TEST(LinkEvents, TheOutcomeIsToldBeforeItsMessageBox) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    Events seenInBox;
    rig.host.onMessage = [&](const std::string&, MessageKind) { seenInBox = rig.Events(); };
    ASSERT_TRUE(rig.commands.Store());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(seenInBox, (Events{"store stored"}));

    // The time-out too.
    rig.recorder.events.clear();
    rig.controller.silent = true;
    ASSERT_TRUE(rig.commands.Upload());
    for (int tick = 0; tick <= 10; ++tick) rig.timeout.Tick();
    EXPECT_EQ(seenInBox, (Events{"lost timeout"}));
}

// A stop taken just before a block or the store request is sent (the flag a signal sets, asked
// by the check): nothing more goes out, and the store never does.
TEST(LinkEvents, TheStopCheckHoldsBackTheNextBlockAndTheStore) {
    for (int stopAt : {2, 5}) {
        SCOPED_TRACE(stopAt);
        Rig rig;
        ASSERT_TRUE(rig.ReadOnce());
        int acknowledged = 0;
        struct Counter : LinkListener {
            int& n;
            explicit Counter(int& count) : n(count) {}
            void OnBlockWritten(const BlockWritten& e) override { n = e.index; }
        } counter(acknowledged);
        rig.protocol.Events().Subscribe(counter);
        rig.protocol.SetStopCheck([&] { return acknowledged >= stopAt; });
        ASSERT_TRUE(rig.commands.Download());
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.host.enabled; }, 2000)) << "timed out";
        rig.Settle();
        rig.protocol.Events().Unsubscribe(counter);
        EXPECT_EQ(acknowledged, stopAt);
        EXPECT_EQ(rig.Events().back(), "lost stopped");
        EXPECT_TRUE(rig.host.messages.empty() || rig.host.LastMessage() != "Download parameters successfully");
    }
}

TEST(LinkEvents, AListenerThatLeavesIsToldNothingMore) {
    Rig rig;
    EventRecorder second;
    rig.protocol.Events().Subscribe(second);
    rig.protocol.Events().Subscribe(second);  // once only
    ASSERT_TRUE(rig.ReadOnce());
    EXPECT_EQ(second.events, (Events{"read standard"}));
    rig.protocol.Events().Unsubscribe(second);
    ASSERT_TRUE(rig.commands.Store());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(second.events, (Events{"read standard"}));
    EXPECT_EQ(rig.Events(), (Events{"store stored"}));
}

TEST(LinkEvents, ADownloadStopsAfterTheBlockInFlight) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    rig.state.sheet.SetCell(kAccelerationRow, "777");
    struct Stopper : LinkListener {
        ControllerProtocol* protocol = nullptr;
        void OnBlockWritten(const BlockWritten& e) override {
            if (e.index == 2) protocol->StopAfterBlockInFlight();
        }
    } stopper;
    stopper.protocol = &rig.protocol;
    rig.protocol.Events().Subscribe(stopper);
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.host.enabled; }, 1000)) << "timed out";
    rig.Settle();
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x28, 0x29}));
    EXPECT_EQ(rig.Events(), (Events{"check accepted", "block 1/5", "block 2/5", "lost stopped"}));
    EXPECT_TRUE(rig.host.enabled);
    EXPECT_TRUE(rig.host.messages.empty());
    // Nothing was stored: the edit is still a change.
    EXPECT_EQ(rig.state.sheet.ChangedRows(), (std::vector<int>{kAccelerationRow}));

    // The stop was for that download only.
    rig.protocol.Events().Unsubscribe(stopper);
    rig.controller.ClearLog();
    rig.recorder.events.clear();
    rig.protocol.StopAfterBlockInFlight();
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.controller.requests, (std::vector<uint8_t>{0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x80}));
    EXPECT_EQ(rig.state.sheet.ChangedCount(), 0);
}

TEST(EditSheetOnTheLink, UploadOverPendingEditsTakesTheNewReadAsBaseline) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    const std::string before = rig.state.sheet.Text(kAccelerationRow);
    ASSERT_NE(before, "850");
    rig.state.sheet.SetCell(kAccelerationRow, "700");
    SetControllerAcceleration(rig, "850");

    ASSERT_TRUE(rig.commands.Upload());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.state.sheet.Text(kAccelerationRow), "850");
    ASSERT_NE(rig.state.sheet.Baseline(kAccelerationRow), nullptr);
    EXPECT_EQ(*rig.state.sheet.Baseline(kAccelerationRow), "850");
    EXPECT_EQ(rig.state.sheet.ChangedCount(), 0);
}

TEST(EditSheetOnTheLink, DefaultAfterAStoredDownloadTakesTheRestoredSet) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    const std::string factory = rig.state.sheet.Text(kAccelerationRow);
    rig.state.sheet.SetCell(kAccelerationRow, factory == "700" ? "800" : "700");
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(1));
    ASSERT_EQ(rig.state.sheet.ChangedCount(), 0);

    ASSERT_TRUE(rig.commands.Default());
    ASSERT_TRUE(rig.WaitMessages(3));
    EXPECT_EQ(rig.state.sheet.Text(kAccelerationRow), factory);
    EXPECT_EQ(*rig.state.sheet.Baseline(kAccelerationRow), factory);
    EXPECT_EQ(rig.state.sheet.ChangedCount(), 0);
}

TEST(EditSheetOnTheLink, ARefusedDownloadKeepsTheBaseline) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    const std::string held = rig.state.sheet.Text(kAccelerationRow);
    const std::string edit = held == "700" ? "800" : "700";
    rig.state.sheet.SetCell(kAccelerationRow, edit);
    rig.controller.failStore = true;
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(*rig.state.sheet.Baseline(kAccelerationRow), held);
    EXPECT_EQ(rig.state.sheet.ChangedRows(), (std::vector<int>{kAccelerationRow}));

    // Nor does a later store of something else adopt what that download sent.
    rig.controller.failStore = false;
    ASSERT_TRUE(rig.commands.Store());
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.state.sheet.ChangedRows(), (std::vector<int>{kAccelerationRow}));
}

TEST(EditSheetOnTheLink, CellsOfTheOtherKindAreNeverSent) {
    Rig rig;
    ASSERT_TRUE(rig.ReadOnce());
    // An FOC identity arrived but its block never did: the sheet still holds standard rows.
    rig.state.kind = ControllerKind::Foc;
    EXPECT_FALSE(rig.commands.Download());
    EXPECT_EQ(rig.host.LastMessage(), "Please connect the device first");
    EXPECT_TRUE(rig.Events().empty());
    EXPECT_TRUE(rig.controller.requests.empty());
}

TEST(LinkEvents, EachBlockReadIsCountedInItsRead) {
    struct Counter : LinkListener {
        std::vector<std::string> reads;
        void OnBlockRead(const BlockRead& e) override {
            reads.push_back(std::to_string(e.index) + "/" + std::to_string(e.count));
        }
    };
    const std::vector<std::string> standard = {"1/10", "2/10", "3/10", "4/10", "5/10",
                                               "6/10", "7/10", "8/10", "9/10", "10/10"};
    {
        Rig rig;
        Counter counter;
        rig.protocol.Events().Subscribe(counter);
        ASSERT_TRUE(rig.ReadOnce());
        EXPECT_EQ(counter.reads, standard);
        // The read after a restore counts from the start again.
        counter.reads.clear();
        ASSERT_TRUE(rig.commands.Default());
        ASSERT_TRUE(rig.WaitMessages(2));
        rig.Settle();
        EXPECT_EQ(counter.reads, standard);
    }
    Rig rig;
    rig.controller.MakeFoc();
    Counter counter;
    rig.protocol.Events().Subscribe(counter);
    ASSERT_TRUE(rig.ReadOnce());
    EXPECT_EQ(counter.reads, (std::vector<std::string>{"1/2", "2/2"}));
}
