#pragma once
// The one serial port to the controller on Windows, on Win32 (there is no Qt SerialPort for this
// build). A thread of the port's own waits on overlapped reads and writes, so bytes are announced
// on the GUI thread as soon as they arrive, without polling. Reads take what has arrived and
// never wait; writes are handed to the thread (which keeps its own copy) and never wait.
// The same interface as the Linux port: the window, the command line and the benchmarks use
// either unchanged.
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "BytePort.h"

namespace dt {

// A CreateFile error on a COM port in the port's terms: access denied or a sharing violation is
// another program holding the port; file or path not found is an unplugged adapter or one with
// no driver; anything else is given in the system's words.
PortFault ClassifyOpenError(unsigned long win32Error);

// "\\.\COM12" for "COM12" (the form that reaches ports past COM9); other names as they are.
std::wstring DeviceName(const std::string& port);

class PortIo;

class SerialPort : public QObject, public BytePort {
    Q_OBJECT
public:
    // COM number to port name ("COM7"; "" when there is none).
    using DeviceResolver = std::function<std::string(int number)>;

    // Without a resolver, COM<n> is the system's own port of that number.
    explicit SerialPort(DeviceResolver resolver = {}, QObject* parent = nullptr);
    ~SerialPort() override;

    // The opening steps: an open port is closed and the device given 100 ms; numbers outside
    // 1..1024 open nothing; 8N1 at baud, no flow control, pending input and output discarded.
    // Any failing step leaves the port closed.
    bool OpenPort(int number, int baud) override;
    // The same steps on a port name; number is the COM number it goes by (0 when none).
    bool OpenDevice(const std::string& path, int baud, int number);
    void Close() override;
    bool IsOpen() const override;
    int PortNumber() const override { return number_; }
    int Write(const uint8_t* data, int count) override;
    int Read(uint8_t* buffer, int maxBytes) override;
    int BytesAvailable() const override;
    PortFailure OpenFailure() const override { return failure_; }

    std::string DevicePath() const { return device_; }
    // The system's words for the last failure (open, configuration or a lost device); "" when none.
    std::string LastError() const { return lastError_; }

    // Pause after closing an open port before the next open (100 ms).
    void SetSettleMs(int ms) { settleMs_ = ms; }

signals:
    // Bytes are waiting (the port's received-data notification).
    void Received(int portNumber);
    // The device went away and the port was closed.
    void DeviceLost(int portNumber);

private:
    bool OpenResolved(const std::string& path, int baud);
    bool Fail(PortFault fault, const std::string& device, const std::string& detail);
    void CloseAndSettle();
    // News from the port's thread, for the opening it was sent for.
    void OnArrived(int opening);
    void OnLost(int opening, unsigned long error);

    DeviceResolver resolver_;
    std::unique_ptr<PortIo> io_;
    int number_ = -1;
    int settleMs_ = 100;
    int openings_ = 0;
    bool announcing_ = false;
    std::string device_;
    std::string lastError_;
    PortFailure failure_;
};

}  // namespace dt
