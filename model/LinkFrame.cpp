#include "LinkFrame.h"

#include <algorithm>
#include <cstring>

namespace dt {

uint8_t FrameChecksum(const uint8_t* bytes, int count) {
    unsigned sum = 0;
    for (int i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

std::vector<uint8_t> BuildFrame(uint8_t command, const uint8_t* payload, int length) {
    if (length < 0 || length > kMaxSendLength) return {};
    std::vector<uint8_t> frame(static_cast<size_t>(length) + 4, 0);
    frame[0] = kFrameStart;
    frame[1] = command;
    frame[2] = static_cast<uint8_t>(length);
    if (length > 0 && payload) std::memcpy(frame.data() + 3, payload, length);
    frame[3 + length] = FrameChecksum(frame.data(), 3 + length);
    return frame;
}

void ReceiveBuffer::Grow(int n) { count_ = std::min(kCapacity, count_ + std::max(0, n)); }

int ReceiveBuffer::Append(const uint8_t* data, int n) {
    int take = std::min(std::max(0, n), Room());
    if (take > 0) std::memcpy(bytes_.data() + count_, data, take);
    count_ += take;
    return take;
}

void ReceiveBuffer::Drop(int n) {
    n = std::min(n, count_);
    std::memmove(bytes_.data(), bytes_.data() + n, count_ - n);
    count_ -= n;
}

// The search includes the last byte held: a start byte that ends a read begins the next frame.
void ReceiveBuffer::Resynchronise() {
    if (count_ == 0) return;
    const uint8_t* begin = bytes_.data() + 1;
    const uint8_t* end = bytes_.data() + count_;
    const uint8_t* next = std::find(begin, end, kFrameStart);
    Drop(static_cast<int>(next - bytes_.data()));
}

bool ReceiveBuffer::TakeFrame(LinkFrame& out) {
    for (;;) {
        if (count_ < 4) return false;
        if (bytes_[0] != kFrameStart) {
            Resynchronise();
            continue;
        }
        const int length = bytes_[2];
        if (length > kMaxReceiveLength) {
            Resynchronise();
            continue;
        }
        if (count_ < length + 4) return false;
        if (FrameChecksum(bytes_.data(), length + 3) != bytes_[length + 3]) {
            Resynchronise();
            continue;
        }
        out.command = bytes_[1];
        out.payload.assign(bytes_.begin() + 3, bytes_.begin() + 3 + length);
        Drop(length + 4);
        return true;
    }
}

}  // namespace dt
