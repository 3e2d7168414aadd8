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

FrontOfBuffer ExamineFront(const uint8_t* bytes, int count) {
    FrontOfBuffer front;
    if (count < 1) return front;
    if (bytes[0] != kFrameStart) {
        front.kind = FrontOfBuffer::Noise;
        return front;
    }
    if (count < 3) return front;
    front.length = bytes[2];
    if (front.length > kMaxReceiveLength) front.kind = FrontOfBuffer::Noise;
    else if (count < front.length + 4) front.kind = FrontOfBuffer::Wait;
    else if (FrameChecksum(bytes, front.length + 3) != bytes[front.length + 3]) front.kind = FrontOfBuffer::BadChecksum;
    else front.kind = FrontOfBuffer::Frame;
    return front;
}

int NextFrameStart(const uint8_t* bytes, int count) {
    if (count < 1) return 0;
    return static_cast<int>(std::find(bytes + 1, bytes + count, kFrameStart) - bytes);
}

bool ReceiveBuffer::TakeFrame(LinkFrame& out) {
    // With fewer than four bytes held nothing is discarded yet.
    while (count_ >= 4) {
        const FrontOfBuffer front = ExamineFront(bytes_.data(), count_);
        if (front.kind == FrontOfBuffer::Wait) return false;
        if (front.kind != FrontOfBuffer::Frame) {
            Drop(NextFrameStart(bytes_.data(), count_));
            continue;
        }
        out.command = bytes_[1];
        out.payload.assign(bytes_.begin() + 3, bytes_.begin() + 3 + front.length);
        Drop(front.length + 4);
        return true;
    }
    return false;
}

}  // namespace dt
