#pragma once
// An open COM handle and the thread that moves its bytes, overlapped: a pending read that takes
// what has arrived (with the received-data event to wait on when a read finds nothing), and a
// write of whatever is queued. No polling. The handle's read time-outs must make a read return
// what is there (ReadIntervalTimeout MAXDWORD, the others 0) and its event mask must hold
// EV_RXCHAR. The callbacks run on that thread.
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
    void Run();
    bool RoomToRead() const;
    // Starts writing what is queued (moved into writing); false when the write failed at once.
    bool StartWrite(std::vector<uint8_t>& writing, OVERLAPPED& ov);
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
    std::vector<uint8_t> out_;  // waiting for the thread to write
    std::atomic<bool> announced_{false};
    std::thread thread_;
};

}  // namespace dt
