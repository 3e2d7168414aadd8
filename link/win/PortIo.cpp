#include "PortIo.h"

#include <algorithm>

namespace dt {

namespace {

// What one read takes at most.
constexpr DWORD kReadChunk = 4096;
// Empty reads in a row, each after an arrival signal, before the port counts as hung up.
constexpr int kEmptyReadsLimit = 1000;
// Arrived bytes kept before reading pauses until the GUI thread takes some, as a full read
// buffer does.
constexpr size_t kInLimit = 4096;

// A failed call's error, or 0 when it is only under way.
unsigned long Failure(bool ok) {
    if (ok) return 0;
    const DWORD error = GetLastError();
    return error == ERROR_IO_PENDING ? 0 : error;
}

}  // namespace

PortIo::PortIo(HANDLE port, Arrived arrived, Lost lost)
    : port_(port),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      readDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      writeDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      arrivedEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      arrived_(std::move(arrived)),
      lost_(std::move(lost)) {
    thread_ = std::thread([this] { Run(); });
}

PortIo::~PortIo() {
    SetEvent(stop_);
    thread_.join();
    // The system may not write from writing_ once it is gone.
    if (write_ == WriteState::Pending) {
        CancelIoEx(port_, &writeOv_);
        DWORD n = 0;
        GetOverlappedResult(port_, &writeOv_, &n, TRUE);
    }
    CloseHandle(port_);
    for (HANDLE h : {stop_, wake_, readDone_, writeDone_, arrivedEvent_}) CloseHandle(h);
}

void PortIo::Write(const uint8_t* data, int count) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        out_.insert(out_.end(), data, data + count);
    }
    if (StartWrite()) SetEvent(wake_);
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

bool PortIo::RoomToRead() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return in_.size() < kInLimit;
}

bool PortIo::StartWrite() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (write_ != WriteState::Free || out_.empty()) return write_ == WriteState::Pending;
        write_ = WriteState::Starting;
        writing_.swap(out_);
    }
    ResetEvent(writeDone_);
    writeOv_ = OVERLAPPED{};
    writeOv_.hEvent = writeDone_;
    if (WriteFile(port_, writing_.data(), DWORD(writing_.size()), nullptr, &writeOv_)) {
        FinishWrite();
    } else {
        const DWORD error = GetLastError();
        std::lock_guard<std::mutex> lock(mutex_);
        if (error == ERROR_IO_PENDING) {
            write_ = WriteState::Pending;
        } else {
            writeError_ = error;
            writing_.clear();
            write_ = WriteState::Free;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return write_ == WriteState::Pending || writeError_ != 0 || !out_.empty();
}

void PortIo::FinishWrite() {
    DWORD n = 0;
    const bool ok = GetOverlappedResult(port_, &writeOv_, &n, FALSE);
    const DWORD error = ok ? 0 : GetLastError();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ok && error != ERROR_OPERATION_ABORTED) writeError_ = error;
    // A write cut short (a purge) leaves its rest for the next one.
    if (n > 0 && n < writing_.size())
        out_.insert(out_.begin(), writing_.begin() + static_cast<std::ptrdiff_t>(n), writing_.end());
    writing_.clear();
    write_ = WriteState::Free;
}

// The read side of the port's thread: one read pending, or a watch for the next arrival.
struct PortIo::Input {
    OVERLAPPED readOv{};
    OVERLAPPED watchOv{};
    uint8_t buffer[kReadChunk];
    DWORD events = 0;
    enum { Idle, Reading, Watching } state = Idle;
    int emptyReads = 0;
};

unsigned long PortIo::StartRead(Input& in) {
    ResetEvent(readDone_);
    in.readOv = OVERLAPPED{};
    in.readOv.hEvent = readDone_;
    const unsigned long failure = Failure(ReadFile(port_, in.buffer, sizeof in.buffer, nullptr, &in.readOv));
    if (failure == 0) in.state = Input::Reading;  // a read that failed is not waited for
    return failure;
}

unsigned long PortIo::WatchForArrival(Input& in) {
    ResetEvent(arrivedEvent_);
    in.watchOv = OVERLAPPED{};
    in.watchOv.hEvent = arrivedEvent_;
    if (const unsigned long failure = Failure(WaitCommEvent(port_, &in.events, &in.watchOv))) return failure;
    in.state = Input::Watching;
    // Bytes that came between the empty read and the watch are read now, not at the next
    // arrival, which may never come.
    COMSTAT status{};
    DWORD errors = 0;
    if (ClearCommError(port_, &errors, &status) && status.cbInQue > 0) {
        DWORD n = 0;
        CancelIoEx(port_, &in.watchOv);
        GetOverlappedResult(port_, &in.watchOv, &n, TRUE);
        in.state = Input::Idle;
    }
    return 0;
}

unsigned long PortIo::InputDone(Input& in) {
    const bool watching = in.state == Input::Watching;
    in.state = Input::Idle;
    DWORD n = 0;
    if (!GetOverlappedResult(port_, watching ? &in.watchOv : &in.readOv, &n, FALSE)) {
        const DWORD error = GetLastError();
        return error == ERROR_OPERATION_ABORTED ? 0 : error;
    }
    if (watching) return 0;
    if (n > 0) {
        in.emptyReads = 0;
        Keep(in.buffer, n);
        return 0;
    }
    // Woken again and again with nothing to read: the other end has hung up.
    if (++in.emptyReads > kEmptyReadsLimit) return ERROR_DEVICE_NOT_CONNECTED;
    return WatchForArrival(in);
}

void PortIo::Run() {
    // One read is kept pending. The port's time-outs make it return what has arrived: at once on
    // Windows (perhaps nothing, and then the thread waits for EV_RXCHAR before reading again),
    // at the first byte under Wine. Either way no time passes between arrival and announcement.
    Input in;
    unsigned long failure = 0;
    for (;;) {
        if (in.state == Input::Idle && RoomToRead() && (failure = StartRead(in)) != 0) break;
        StartWrite();
        bool writePending = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failure = writeError_;
            writePending = write_ == WriteState::Pending;
        }
        if (failure != 0) break;

        HANDLE waits[4] = {stop_, wake_};
        DWORD count = 2;
        const DWORD inputSlot = in.state != Input::Idle ? count++ : MAXDWORD;
        const DWORD writeSlot = writePending ? count++ : MAXDWORD;
        if (in.state != Input::Idle) waits[inputSlot] = in.state == Input::Reading ? readDone_ : arrivedEvent_;
        if (writePending) waits[writeSlot] = writeDone_;
        const DWORD which = WaitForMultipleObjects(count, waits, FALSE, INFINITE) - WAIT_OBJECT_0;
        if (which == 0 || which >= count) break;
        if (which == inputSlot && (failure = InputDone(in)) != 0) break;
        if (which == writeSlot) FinishWrite();
    }
    // Nothing may still write into this frame's buffers once it returns (a pending write is
    // the destructor's to wait for).
    CancelIo(port_);
    DWORD n = 0;
    if (in.state == Input::Reading) GetOverlappedResult(port_, &in.readOv, &n, TRUE);
    if (in.state == Input::Watching) GetOverlappedResult(port_, &in.watchOv, &n, TRUE);
    if (failure != 0) lost_(failure);
}

}  // namespace dt
