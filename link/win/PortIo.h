#pragma once
// An open COM handle and the thread that moves its bytes: overlapped reads that complete as soon
// as anything arrives, overlapped writes of whatever is queued. The callbacks run on that thread.
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
    bool StartRead(OVERLAPPED& ov, uint8_t* buffer, DWORD size);
    void Keep(const uint8_t* data, DWORD n);

    HANDLE port_;
    HANDLE stop_;
    HANDLE wake_;
    HANDLE readDone_;
    HANDLE writeDone_;
    Arrived arrived_;
    Lost lost_;
    mutable std::mutex mutex_;
    std::vector<uint8_t> in_;   // arrived and not yet read
    std::vector<uint8_t> out_;  // waiting for the thread to write
    std::atomic<bool> announced_{false};
    std::thread thread_;
};

}  // namespace dt
