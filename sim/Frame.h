#pragma once
// Link frames: 0x66, code, length L, L payload bytes, sum of the previous bytes mod 256.
#include <cstdint>
#include <vector>

#include "LinkFrame.h"

namespace sim {

using dt::kFrameStart;
// Longest payload the controller accepts; longer length bytes are taken for noise.
constexpr int kMaxPayload = dt::kMaxReceiveLength;

struct Frame {
    uint8_t code = 0;
    std::vector<uint8_t> payload;
};

using dt::FrameChecksum;
std::vector<uint8_t> EncodeFrame(uint8_t code, const uint8_t* payload, int length);
inline std::vector<uint8_t> EncodeFrame(uint8_t code) { return EncodeFrame(code, nullptr, 0); }

// Collects received bytes and cuts out the valid frames, skipping noise by searching for the
// next start byte after anything that cannot be a frame.
class FrameReader {
public:
    void Append(const uint8_t* bytes, int count);
    // Next complete valid frame; false when none is complete yet.
    bool Next(Frame& frame);
    // Forgets an incomplete frame (the line went idle in the middle of it).
    void DropPending();

    int droppedBytes() const { return droppedBytes_; }
    int badChecksums() const { return badChecksums_; }
    int pendingBytes() const { return static_cast<int>(buffer_.size()); }

private:
    void Resync();
    std::vector<uint8_t> buffer_;
    int droppedBytes_ = 0;
    int badChecksums_ = 0;
};

}  // namespace sim
