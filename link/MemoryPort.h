#pragma once
// A port in memory: what the engine writes is recorded (and handed to an optional responder),
// what a test feeds arrives as if from a controller. Notifications are queued on the event
// loop like a real port's, or delivered at once with FeedNow.
#include <functional>
#include <memory>
#include <vector>

#include "BytePort.h"

class QObject;

namespace dt {

class MemoryPort : public BytePort {
public:
    using Bytes = std::vector<uint8_t>;
    // Called with each chunk the engine writes (one frame per write).
    using WriteHandler = std::function<void(const Bytes& chunk)>;

    MemoryPort();
    ~MemoryPort() override;

    bool OpenPort(int number, int baud) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    int PortNumber() const override { return number_; }
    int Write(const uint8_t* data, int count) override;
    int Read(uint8_t* buffer, int maxBytes) override;
    int BytesAvailable() const override { return static_cast<int>(incoming_.size()); }

    // Bytes from the "controller"; the notification follows through the event loop.
    void Feed(const Bytes& bytes);
    // Bytes from the "controller", notified before returning (as a port may do inside a
    // nested event loop).
    void FeedNow(const Bytes& bytes);
    // Bytes that arrive without any notification (as Qt does not emit readyRead again while
    // its own handler runs); the reader has to look for them.
    void FeedSilently(const Bytes& bytes);

    void SetWriteHandler(WriteHandler handler) { onWrite_ = std::move(handler); }
    // Ports that OpenPort refuses (a missing or busy device).
    void SetOpenRefused(bool refused) { refused_ = refused; }

    const Bytes& Written() const { return written_; }
    const std::vector<Bytes>& Writes() const { return writes_; }
    void ClearWritten() { written_.clear(); writes_.clear(); }
    int Baud() const { return baud_; }
    int OpenCount() const { return opens_; }

private:
    std::unique_ptr<QObject> context_;  // owns the queued notifications
    bool open_ = false;
    bool refused_ = false;
    int number_ = -1;
    int baud_ = 0;
    int opens_ = 0;
    Bytes incoming_;
    Bytes written_;
    std::vector<Bytes> writes_;
    WriteHandler onWrite_;
};

}  // namespace dt
