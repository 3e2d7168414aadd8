#pragma once
// An open COM handle and the thread that moves its bytes, overlapped: a pending read that takes
// what has arrived (with the received-data event to wait on when a read finds nothing), and a
// write of whatever is queued. No polling. The handle's read time-outs must make a read return
// what is there (ReadIntervalTimeout MAXDWORD, the others 0) and its event mask must hold
// EV_RXCHAR. The callbacks run on that thread.
// A write is handed to the system by the caller's thread when none is under way, so a request
// leaves without waiting for the port's thread to be scheduled; a write the system leaves
// pending is then the port's thread's to wait for.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace dt {

class PortIo {
public:
    using Arrived = std::function<void()>;
    using Lost = std::function<void(unsigned long error)>;

    // Takes the handle (opened with FILE_FLAG_OVERLAPPED) and closes it when it goes.
    PortIo(HANDLE port, Arrived arrived, Lost lost);
    ~PortIo();
    PortIo(const PortIo&) = delete;
    PortIo& operator=(const PortIo&) = delete;

    void Write(const uint8_t* data, int count);
    int Read(uint8_t* buffer, int maxBytes);
    int Available() const;
    // Lets the next arrival be announced again (call before taking the bytes).
    void Rearm() { announced_ = false; }

private:
    enum class WriteState { Free, Starting, Pending };

    struct Input;

    void Run();
    bool RoomToRead() const;
    // The read side's steps; each returns a failure's error, or 0.
    unsigned long StartRead(Input& in);
    unsigned long WatchForArrival(Input& in);
    unsigned long InputDone(Input& in);
    // Hands what is queued to the system unless a write is under way; either thread may call it.
    // True when the port's thread has something to look at: a write left pending, a failure, or
    // bytes still queued.
    bool StartWrite();
    // Takes the outcome of the write handed over (done, or its event set).
    void FinishWrite();
    void Keep(const uint8_t* data, DWORD n);

    HANDLE port_;
    HANDLE stop_;
    HANDLE wake_;
    HANDLE readDone_;
    HANDLE writeDone_;
    HANDLE arrivedEvent_;
    Arrived arrived_;
    Lost lost_;
    mutable std::mutex mutex_;
    std::vector<uint8_t> in_;   // arrived and not yet read
    std::vector<uint8_t> out_;  // waiting to be written
    // The write handed to the system: its bytes stay here until it completes. Only the thread
    // that moved the state off Free touches them, and a Pending write only the port's thread.
    WriteState write_ = WriteState::Free;
    std::vector<uint8_t> writing_;
    OVERLAPPED writeOv_{};
    unsigned long writeError_ = 0;
    std::atomic<bool> announced_{false};
    std::thread thread_;
};

}  // namespace dt
