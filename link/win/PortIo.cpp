#include "PortIo.h"

#include <algorithm>

namespace dt {

namespace {

// What one read asks for; a read completes with whatever has arrived, at the first byte.
constexpr DWORD kReadChunk = 4096;
// Arrived bytes kept before reading pauses until the GUI thread takes some, as a full read
// buffer does.
constexpr size_t kInLimit = 4096;

}  // namespace

PortIo::PortIo(HANDLE port, Arrived arrived, Lost lost)
    : port_(port),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      readDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      writeDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      arrived_(std::move(arrived)),
      lost_(std::move(lost)) {
    thread_ = std::thread([this] { Run(); });
}

PortIo::~PortIo() {
    SetEvent(stop_);
    thread_.join();
    CloseHandle(port_);
    for (HANDLE h : {stop_, wake_, readDone_, writeDone_}) CloseHandle(h);
}

void PortIo::Write(const uint8_t* data, int count) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        out_.insert(out_.end(), data, data + count);
    }
    SetEvent(wake_);
}

int PortIo::Read(uint8_t* buffer, int maxBytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t n = std::min(in_.size(), static_cast<size_t>(maxBytes));
    std::copy(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    const bool wasFull = in_.size() >= kInLimit;
    in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(n));
    if (wasFull && n > 0) SetEvent(wake_);  // reading may go on
    return static_cast<int>(n);
}

int PortIo::Available() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(in_.size());
}

void PortIo::Keep(const uint8_t* data, DWORD n) {
    if (n == 0) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        in_.insert(in_.end(), data, data + n);
    }
    if (!announced_.exchange(true)) arrived_();
}

bool PortIo::StartRead(OVERLAPPED& ov, uint8_t* buffer, DWORD size) {
    ResetEvent(readDone_);
    ov = OVERLAPPED{};
    ov.hEvent = readDone_;
    // Done at once or pending: either way the event tells when the bytes are there.
    return ReadFile(port_, buffer, size, nullptr, &ov) || GetLastError() == ERROR_IO_PENDING;
}

void PortIo::Run() {
    OVERLAPPED readOv{};
    OVERLAPPED writeOv{};
    uint8_t readBuffer[kReadChunk];
    std::vector<uint8_t> writing;
    size_t written = 0;
    bool reading = false;
    unsigned long failure = 0;
    for (;;) {
        if (!reading) {
            std::unique_lock<std::mutex> lock(mutex_);
            const bool room = in_.size() < kInLimit;
            lock.unlock();
            if (room) {
                if (!StartRead(readOv, readBuffer, sizeof readBuffer)) {
                    failure = GetLastError();
                    break;
                }
                reading = true;
            }
        }
        if (writing.empty()) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                writing.swap(out_);
            }
            written = 0;
            if (!writing.empty()) {
                ResetEvent(writeDone_);
                writeOv = OVERLAPPED{};
                writeOv.hEvent = writeDone_;
                if (!WriteFile(port_, writing.data(), DWORD(writing.size()), nullptr, &writeOv) &&
                    GetLastError() != ERROR_IO_PENDING) {
                    failure = GetLastError();
                    break;
                }
            }
        }
        HANDLE waits[4] = {stop_, wake_};
        DWORD count = 2;
        const DWORD readSlot = reading ? count++ : MAXDWORD;
        const DWORD writeSlot = !writing.empty() ? count++ : MAXDWORD;
        if (reading) waits[readSlot] = readDone_;
        if (!writing.empty()) waits[writeSlot] = writeDone_;
        const DWORD which = WaitForMultipleObjects(count, waits, FALSE, INFINITE) - WAIT_OBJECT_0;
        if (which == 0 || which >= count) break;
        DWORD n = 0;
        if (which == readSlot) {
            reading = false;
            if (GetOverlappedResult(port_, &readOv, &n, FALSE)) {
                Keep(readBuffer, n);
            } else if (GetLastError() != ERROR_OPERATION_ABORTED) {  // a purge is no failure
                failure = GetLastError();
                break;
            }
        } else if (which == writeSlot) {
            if (!GetOverlappedResult(port_, &writeOv, &n, FALSE) && GetLastError() != ERROR_OPERATION_ABORTED) {
                failure = GetLastError();
                break;
            }
            written += n;
            // A write cut short (a time-out, a purge) leaves its rest for the next one.
            if (n > 0 && written < writing.size()) {
                std::lock_guard<std::mutex> lock(mutex_);
                out_.insert(out_.begin(), writing.begin() + static_cast<std::ptrdiff_t>(written), writing.end());
            }
            writing.clear();
        }
    }
    // Nothing may still write into this frame's buffers once it returns.
    CancelIo(port_);
    DWORD n = 0;
    if (reading) GetOverlappedResult(port_, &readOv, &n, TRUE);
    if (!writing.empty()) GetOverlappedResult(port_, &writeOv, &n, TRUE);
    if (failure != 0) lost_(failure);
}

}  // namespace dt
