#include "Frame.h"

#include <algorithm>

namespace sim {

std::vector<uint8_t> EncodeFrame(uint8_t code, const uint8_t* payload, int length) {
    return dt::BuildFrame(code, payload, length);
}

void FrameReader::Append(const uint8_t* bytes, int count) { buffer_.insert(buffer_.end(), bytes, bytes + count); }

void FrameReader::Resync() {
    // Search from position 1 through the last byte: a start byte that arrived last is kept.
    auto next = std::find(buffer_.begin() + 1, buffer_.end(), kFrameStart);
    droppedBytes_ += static_cast<int>(next - buffer_.begin());
    buffer_.erase(buffer_.begin(), next);
}

void FrameReader::DropPending() {
    droppedBytes_ += static_cast<int>(buffer_.size());
    buffer_.clear();
}

bool FrameReader::Next(Frame& frame) {
    for (;;) {
        if (buffer_.empty()) return false;
        if (buffer_[0] != kFrameStart) {
            Resync();
            continue;
        }
        if (buffer_.size() < 3) return false;
        int length = buffer_[2];
        if (length > kMaxPayload) {
            Resync();
            continue;
        }
        size_t total = static_cast<size_t>(length) + 4;
        if (buffer_.size() < total) return false;
        if (FrameChecksum(buffer_.data(), length + 3) != buffer_[length + 3]) {
            ++badChecksums_;
            Resync();
            continue;
        }
        frame.code = buffer_[1];
        frame.payload.assign(buffer_.begin() + 3, buffer_.begin() + 3 + length);
        buffer_.erase(buffer_.begin(), buffer_.begin() + total);
        return true;
    }
}

}  // namespace sim
