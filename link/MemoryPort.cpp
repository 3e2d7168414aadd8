#include "MemoryPort.h"

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace dt {

MemoryPort::MemoryPort() : context_(std::make_unique<QObject>()) {}

MemoryPort::~MemoryPort() = default;

bool MemoryPort::OpenPort(int number, int baud) {
    if (open_) Close();
    if (number < 1 || number > 1024 || refused_) return false;
    number_ = number;
    baud_ = baud;
    open_ = true;
    ++opens_;
    incoming_.clear();
    return true;
}

void MemoryPort::Close() {
    open_ = false;
    incoming_.clear();
}

int MemoryPort::Write(const uint8_t* data, int count) {
    if (!open_ || count <= 0) return 0;
    Bytes chunk(data, data + count);
    written_.insert(written_.end(), chunk.begin(), chunk.end());
    writes_.push_back(chunk);
    if (onWrite_) onWrite_(chunk);
    return count;
}

int MemoryPort::Read(uint8_t* buffer, int maxBytes) {
    if (!open_ || maxBytes <= 0) return 0;
    int n = std::min(maxBytes, static_cast<int>(incoming_.size()));
    if (n > 0) std::memcpy(buffer, incoming_.data(), n);
    incoming_.erase(incoming_.begin(), incoming_.begin() + n);
    return n;
}

void MemoryPort::Feed(const Bytes& bytes) {
    incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    QTimer::singleShot(0, context_.get(), [this] {
        if (open_) NotifyReceived(number_);
    });
}

void MemoryPort::FeedSilently(const Bytes& bytes) { incoming_.insert(incoming_.end(), bytes.begin(), bytes.end()); }

void MemoryPort::FeedNow(const Bytes& bytes) {
    incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    if (open_) NotifyReceived(number_);
}

}  // namespace dt
