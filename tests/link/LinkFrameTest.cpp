// Frame building and the frame finder: splits, glued frames, garbage, resynchronisation.
#include <gtest/gtest.h>

#include "LinkFrame.h"
#include "LinkTestSupport.h"

using namespace dt;
using namespace dt::test;

TEST(LinkFrame, WorkedFramesOfTheFourCommands) {
    struct Case { uint8_t cmd; const char* hex; };
    for (const Case& c : {Case{0x02, "66 02 00 68"}, Case{0x10, "66 10 00 76"}, Case{0x80, "66 80 00 E6"},
                          Case{0x81, "66 81 00 E7"}})
        EXPECT_EQ(Hex(BuildFrame(c.cmd, nullptr, 0)), c.hex);
}

TEST(LinkFrame, LengthLimitOfRequests) {
    Bytes payload(253, 0xFF);
    EXPECT_TRUE(BuildFrame(0x21, payload.data(), 253).empty());
    EXPECT_TRUE(BuildFrame(0x21, payload.data(), -1).empty());
    Bytes f = BuildFrame(0x21, payload.data(), 252);
    ASSERT_EQ(f.size(), 256u);
    EXPECT_EQ(f, MakeFrame(0x21, Bytes(252, 0xFF)));  // checksum wraps modulo 256
}

namespace {

// Feeds the reads one after the other and collects every frame taken after each read.
std::vector<std::string> TakeAll(const std::vector<Bytes>& reads, int* remaining = nullptr) {
    ReceiveBuffer buffer;
    std::vector<std::string> frames;
    for (const Bytes& r : reads) {
        buffer.Append(r.data(), static_cast<int>(r.size()));
        LinkFrame f;
        while (buffer.TakeFrame(f)) frames.push_back(Hex(MakeFrame(f.command, f.payload)));
    }
    if (remaining) *remaining = buffer.Count();
    return frames;
}

const Bytes kConnect = MakeFrame(0x02);
const Bytes kBlock = MakeFrame(0x12, PatternBlock(2));

}  // namespace

TEST(ReceiveBuffer, FramesAreCutOutOfAnyChunking) {
    const Bytes both = Concat({kConnect, kBlock});
    struct Case {
        const char* name;
        std::vector<Bytes> reads;
        std::vector<Bytes> expected;
        int remaining;
    };
    const std::vector<Case> cases = {
        {"glued in one read", {both}, {kConnect, kBlock}, 0},
        {"split inside the header", {Bytes(kBlock.begin(), kBlock.begin() + 2), Bytes(kBlock.begin() + 2, kBlock.end())},
         {kBlock}, 0},
        {"split before the checksum", {Bytes(kBlock.begin(), kBlock.end() - 1), Bytes(kBlock.end() - 1, kBlock.end())},
         {kBlock}, 0},
        {"one byte per read", [&] { std::vector<Bytes> v; for (uint8_t b : both) v.push_back({b}); return v; }(),
         {kConnect, kBlock}, 0},
        {"garbage before a frame", {Concat({{0x01, 0x02}, kConnect})}, {kConnect}, 0},
        {"01 66 then the rest", {{0x01, 0x66}, {0x02, 0x00, 0x68}}, {kConnect}, 0},
        {"start byte as the last byte of a read", {{0x01, 0x02, 0x03, 0x04, 0x66}, {0x02, 0x00, 0x68}}, {kConnect}, 0},
        {"garbage without a start byte is dropped", {{0x01, 0x02, 0x03, 0x04, 0x05}}, {}, 0},
        {"bad checksum, then a good frame", {Concat({{0x66, 0x02, 0x00, 0x69}, kConnect})}, {kConnect}, 0},
        {"partial frame stays", {Bytes(kBlock.begin(), kBlock.begin() + 20)}, {}, 20},
    };
    for (const Case& c : cases) {
        std::vector<std::string> want;
        for (const Bytes& e : c.expected) want.push_back(Hex(e));
        int remaining = -1;
        EXPECT_EQ(TakeAll(c.reads, &remaining), want) << c.name;
        EXPECT_EQ(remaining, c.remaining) << c.name;
    }
}

TEST(ReceiveBuffer, LengthAbove32IsNeverAccepted) {
    Bytes long33 = MakeFrame(0x12, Bytes(33, 0x01));  // checksum correct
    int remaining = -1;
    EXPECT_TRUE(TakeAll({long33}, &remaining).empty());
    EXPECT_EQ(remaining, 0);
    // A frame right behind it is still found.
    EXPECT_EQ(TakeAll({Concat({long33, kConnect})}), std::vector<std::string>{Hex(kConnect)});
}

TEST(ReceiveBuffer, AcknowledgementsOfAnyLengthUpTo32) {
    for (int length : {0, 1, 31, 32}) {
        Bytes ack = MakeFrame(0x28, Bytes(length, 0x66));  // start bytes inside the payload
        EXPECT_EQ(TakeAll({ack}), std::vector<std::string>{Hex(ack)}) << length;
    }
}

TEST(ReceiveBuffer, AppendStopsAtCapacity) {
    ReceiveBuffer buffer;
    Bytes big(3000, 0x01);
    EXPECT_EQ(buffer.Append(big.data(), 3000), ReceiveBuffer::kCapacity);
    EXPECT_EQ(buffer.Room(), 0);
    LinkFrame f;
    EXPECT_FALSE(buffer.TakeFrame(f));
    EXPECT_EQ(buffer.Count(), 0);
}
