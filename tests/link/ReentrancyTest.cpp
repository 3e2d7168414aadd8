// Frames that arrive while a reply's message box runs its own event loop: each is handled
// once, in order, and only after the box is closed.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include "LinkTestSupport.h"

using namespace dt;
using namespace dt::test;

namespace {

// A "modal" box that keeps its own event loop running for a while.
void SpinNestedLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// True when every message box closed before the next one opened.
bool NoNestedMessages(const std::vector<std::string>& calls) {
    bool open = false;
    for (const std::string& c : calls) {
        if (c.rfind("Message(", 0) == 0) {
            if (open) return false;
            open = true;
        } else if (c == "MessageClosed") {
            open = false;
        }
    }
    return !open;
}

const std::string kStoreOk = "Save the parameters successfully";
const std::string kStoreFailed = "Fail to Save the parameters";

enum class Arrival { Queued, Immediate, Unannounced };

}  // namespace

TEST(Reentrancy, FramesArrivingInsideAMessageAreHandledOnceAndInOrder) {
    for (Arrival arrival : {Arrival::Queued, Arrival::Immediate, Arrival::Unannounced}) {
        Rig rig;
        rig.OpenPort();
        rig.controller.silent = true;
        int boxes = 0;
        rig.host.onMessage = [&](const std::string&, MessageKind) {
            if (++boxes == 1) {
                // While the first box is open: a glued pair, then one split over two reads.
                const Bytes glued = Concat({MakeFrame(0x04), MakeFrame(0x03)});
                const Bytes last = MakeFrame(0x04);
                switch (arrival) {
                case Arrival::Queued:
                    rig.port.Feed(glued);
                    rig.port.Feed(Bytes(last.begin(), last.begin() + 2));
                    rig.port.Feed(Bytes(last.begin() + 2, last.end()));
                    break;
                case Arrival::Immediate:
                    rig.port.FeedNow(glued);
                    rig.port.FeedNow(Bytes(last.begin(), last.begin() + 2));
                    rig.port.FeedNow(Bytes(last.begin() + 2, last.end()));
                    break;
                case Arrival::Unannounced:
                    rig.port.FeedSilently(Concat({glued, last}));
                    break;
                }
            }
            SpinNestedLoop(15);
        };
        rig.port.Feed(MakeFrame(0x03));
        ASSERT_TRUE(rig.WaitMessages(4)) << int(arrival);
        rig.Settle();

        std::vector<std::string> texts;
        for (const auto& m : rig.host.messages) texts.push_back(m.first);
        EXPECT_EQ(texts, (std::vector<std::string>{kStoreOk, kStoreFailed, kStoreOk, kStoreFailed})) << int(arrival);
        EXPECT_TRUE(NoNestedMessages(rig.host.calls)) << int(arrival);
        EXPECT_EQ(rig.protocol.Buffer().Count(), 0);
        EXPECT_EQ(rig.port.BytesAvailable(), 0);
    }
}

TEST(Reentrancy, RequestAfterARestoreMessageWaitsForTheBox) {
    Rig rig;
    rig.OpenPort();
    bool readSentWhileOpen = false;
    rig.host.onMessage = [&](const std::string& text, MessageKind) {
        if (text == "Restore the default parameters successfully") {
            SpinNestedLoop(20);
            readSentWhileOpen = std::count(rig.controller.requests.begin(), rig.controller.requests.end(), 0x10) > 0;
        }
    };
    rig.commands.Default();
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_FALSE(readSentWhileOpen);
    EXPECT_EQ(rig.host.LastMessage(), "Upload parameters successfully");
    EXPECT_TRUE(NoNestedMessages(rig.host.calls));
}

// The time-out's box is not part of a reply pass, so a reply may be handled inside it (as a
// second box on top); it is still handled exactly once and the panel ends up idle.
TEST(Reentrancy, ReplyInsideATimeoutMessageIsHandledOnce) {
    Rig rig;
    rig.controller.silent = true;
    rig.OpenPort();
    rig.host.onMessage = [&](const std::string& text, MessageKind) {
        if (text == "no response because of timeout") {
            rig.port.Feed(MakeFrame(0x03));
            SpinNestedLoop(15);
        }
    };
    rig.state.link.identityReceived = true;
    rig.commands.Store();
    for (int i = 0; i < 11; ++i) rig.timeout.Tick();
    ASSERT_TRUE(rig.WaitMessages(2));
    rig.Settle();
    EXPECT_EQ(rig.host.messages.size(), 2u);
    EXPECT_EQ(rig.host.LastMessage(), kStoreOk);
    EXPECT_TRUE(rig.host.enabled);
    EXPECT_FALSE(rig.timeout.IsRunning());
}
