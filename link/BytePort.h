#pragma once
// The byte stream to one controller, as the protocol engine sees it. SerialPort is the real
// one; MemoryPort serves the tests.
#include <cstdint>
#include <functional>

#include "PortFailure.h"

namespace dt {

class BytePort {
public:
    // Told with the number of the port whose bytes arrived.
    using ReceivedHandler = std::function<void(int portNumber)>;

    virtual ~BytePort() = default;

    // The opening steps: close an open port first (and let the device settle), then open
    // port number n (1..1024) at baud, 8 data bits, no parity, one stop bit, with pending
    // input and output discarded. True when the port is open afterwards.
    virtual bool OpenPort(int number, int baud) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Number of the open port (the last one asked for when closed; -1 before any).
    virtual int PortNumber() const = 0;

    // Hands count bytes to the port without waiting for transmission; the port keeps its own
    // copy. Returns the number accepted (0 when closed).
    virtual int Write(const uint8_t* data, int count) = 0;
    // Takes up to maxBytes of what has already arrived; never waits. 0 when closed or empty.
    virtual int Read(uint8_t* buffer, int maxBytes) = 0;
    // Bytes that have arrived and not yet been read.
    virtual int BytesAvailable() const = 0;
    // Why the last OpenPort failed (fault None when it did not, or when the port cannot tell).
    virtual PortFailure OpenFailure() const { return {}; }

    // One receiver of the received-data notification (the protocol engine sets it).
    void SetReceivedHandler(ReceivedHandler handler) { received_ = std::move(handler); }

protected:
    void NotifyReceived(int portNumber) {
        if (received_) received_(portNumber);
    }

private:
    ReceivedHandler received_;
};

}  // namespace dt
