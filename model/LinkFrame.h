#pragma once
// The one frame format of the controller link, both directions:
// 0x66, command, length L, L payload bytes, 8-bit sum of all bytes before it.
#include <array>
#include <cstdint>
#include <vector>

namespace dt {

constexpr uint8_t kFrameStart = 0x66;
constexpr int kMaxSendLength = 252;    // longer requests are not sent at all
constexpr int kMaxReceiveLength = 32;  // longer received frames are never accepted
constexpr int kBlockBytes = 32;

// Frame codes, both directions. A read request 0x10 + n is answered by 0x10 + n with block n;
// a write 0x20 + n (32 bytes) is acknowledged by 0x20 + n without payload.
enum LinkRequest : uint8_t {
    REQ_CONNECT = 0x02,
    REQ_READ_IDENTITY = 0x10,
    REQ_READ_BLOCK = 0x10,   // + block number
    REQ_WRITE_BLOCK = 0x20,  // + block number
    REQ_WRITE_FOC = 0x21,
    REQ_WRITE_FIRST = 0x28,  // section 2 block 0, the first write of a standard download
    REQ_STORE = 0x80,
    REQ_RESTORE_DEFAULTS = 0x81,
};
enum LinkReply : uint8_t {
    REPLY_NOT_READY = 0x00,  // answer to a connect: ask again
    REPLY_CONNECTED = 0x02,
    REPLY_STORED = 0x03,
    REPLY_STORE_FAILED = 0x04,
    REPLY_BLOCK_READ = 0x10,     // + block number, with the block
    REPLY_BLOCK_WRITTEN = 0x20,  // + block number, no payload read
    REPLY_RESTORE_ARMED = 0x81,
};
constexpr uint8_t kCodeGroupMask = 0xF0;
constexpr uint8_t kBlockNumberMask = 0x0F;

// Block numbers n of the read and write codes.
constexpr int kBlockIdentity = 0;
constexpr int kBlockFoc = 1;           // the FocBlock, on an FOC controller
constexpr int kBlockLastSection3 = 4;  // followed by section 2 block 0
constexpr int kBlockFirstSection2 = 8;
constexpr int kBlockLast = 12;  // section 1 block 1 ends a read and a write
// The block after n in the order of a read or a write.
constexpr int NextBlock(int n) { return n == kBlockLastSection3 ? kBlockFirstSection2 : n + 1; }
static_assert((REQ_WRITE_FIRST & kBlockNumberMask) == kBlockFirstSection2, "a download starts at section 2");
static_assert(REQ_WRITE_FOC == REQ_WRITE_BLOCK + kBlockFoc, "an FOC download writes the FOC block");

// Frame bytes for a request; empty when length is negative or above kMaxSendLength.
std::vector<uint8_t> BuildFrame(uint8_t command, const uint8_t* payload, int length);
// Sum of the bytes modulo 256.
uint8_t FrameChecksum(const uint8_t* bytes, int count);

// What the bytes held at the front of a receive buffer are.
struct FrontOfBuffer {
    enum Kind {
        Wait,         // the start of a frame, not complete yet
        Frame,        // a complete frame with a valid checksum, length payload bytes
        Noise,        // cannot start a frame: no start byte, or a length above 32
        BadChecksum,  // a complete frame whose checksum is wrong
    } kind = Wait;
    int length = 0;
};
FrontOfBuffer ExamineFront(const uint8_t* bytes, int count);
// Position of the next start byte after the first byte, or count. The search includes the last
// byte held: a start byte that ends a read begins the next frame.
int NextFrameStart(const uint8_t* bytes, int count);

struct LinkFrame {
    uint8_t command = 0;
    std::vector<uint8_t> payload;

    int Length() const { return static_cast<int>(payload.size()); }
};

// Received bytes waiting to be cut into frames. A complete frame always starts at offset 0;
// bytes that cannot start one are dropped by resynchronising on the next start byte.
class ReceiveBuffer {
public:
    static constexpr int kCapacity = 2048;
    // Between notifications at most one incomplete frame (35 bytes) is held, so one read of
    // this size always fits.
    static constexpr int kReadChunk = 1024;

    int Count() const { return count_; }
    const uint8_t* Data() const { return bytes_.data(); }
    int Room() const { return kCapacity - count_; }
    // Where the next read goes; Grow(n) accounts for the n bytes it put there.
    uint8_t* Tail() { return bytes_.data() + count_; }
    void Grow(int n);
    // Appends what fits; returns the number of bytes taken.
    int Append(const uint8_t* data, int n);
    void Clear() { count_ = 0; }

    // Takes the first complete frame with a valid checksum and a length of at most 32 out of
    // the buffer. False when none is complete yet (the partial frame stays at the front).
    bool TakeFrame(LinkFrame& out);

private:
    void Drop(int n);

    std::array<uint8_t, kCapacity> bytes_{};
    int count_ = 0;
};

}  // namespace dt
