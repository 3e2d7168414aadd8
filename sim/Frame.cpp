#include "Frame.h"

namespace sim {

std::vector<uint8_t> EncodeFrame(uint8_t code, const uint8_t* payload, int length) {
    return dt::BuildFrame(code, payload, length);
}

void FrameReader::Append(const uint8_t* bytes, int count) { buffer_.insert(buffer_.end(), bytes, bytes + count); }

void FrameReader::Resync() {
    const int next = dt::NextFrameStart(buffer_.data(), static_cast<int>(buffer_.size()));
    droppedBytes_ += next;
    buffer_.erase(buffer_.begin(), buffer_.begin() + next);
}

void FrameReader::DropPending() {
    droppedBytes_ += static_cast<int>(buffer_.size());
    buffer_.clear();
}

bool FrameReader::Next(Frame& frame) {
    while (!buffer_.empty()) {
        const dt::FrontOfBuffer front = dt::ExamineFront(buffer_.data(), static_cast<int>(buffer_.size()));
        if (front.kind == dt::FrontOfBuffer::Wait) return false;
        if (front.kind != dt::FrontOfBuffer::Frame) {
            if (front.kind == dt::FrontOfBuffer::BadChecksum) ++badChecksums_;
            Resync();
            continue;
        }
        frame.code = buffer_[1];
        frame.payload.assign(buffer_.begin() + 3, buffer_.begin() + 3 + front.length);
        buffer_.erase(buffer_.begin(), buffer_.begin() + front.length + 4);
        return true;
    }
    return false;
}

}  // namespace sim
