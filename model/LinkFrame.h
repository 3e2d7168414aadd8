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

// Frame bytes for a request; empty when length is negative or above kMaxSendLength.
std::vector<uint8_t> BuildFrame(uint8_t command, const uint8_t* payload, int length);
// Sum of the bytes modulo 256.
uint8_t FrameChecksum(const uint8_t* bytes, int count);

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
    void Resynchronise();
    void Drop(int n);

    std::array<uint8_t, kCapacity> bytes_{};
    int count_ = 0;
};

}  // namespace dt
