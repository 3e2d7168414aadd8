#pragma once
// The one serial port to the controller, on Qt SerialPort in the GUI thread. Received data
// is announced by Received(portNumber) and the BytePort handler; reads take what has arrived
// and never wait; writes are queued by Qt (which keeps its own copy) and never wait.
// A device that disappears while open (USB unplugged) closes the port; the next command then
// finds no open port.
#include <QObject>
#include <QSerialPort>
#include <functional>
#include <string>

#include "BytePort.h"

namespace dt {

// What the file system says of a device, to tell open failures apart.
struct DeviceAccess {
    bool exists = false;
    bool readWrite = false;  // this user may read and write it
    std::string group;       // the group that owns it
};
DeviceAccess ProbeDevice(const std::string& path);
PortFault ClassifyOpenFailure(QSerialPort::SerialPortError error, const DeviceAccess& access);

class SerialPort : public QObject, public BytePort {
    Q_OBJECT
public:
    // COM number to device path ("" when there is none).
    using DeviceResolver = std::function<std::string(int number)>;
    using AccessProbe = std::function<DeviceAccess(const std::string& path)>;

    // Without a resolver, COM numbers go through PortNumbering::System().
    explicit SerialPort(DeviceResolver resolver = {}, QObject* parent = nullptr);
    ~SerialPort() override;

    // The opening steps: an open port is closed and the device given 100 ms; numbers outside
    // 1..1024 open nothing; 8N1 at baud, 4096-byte read buffer, pending input and output
    // discarded. Any failing step leaves the port closed.
    bool OpenPort(int number, int baud) override;
    // The same steps on a device path; number is the COM number it goes by (0 when none).
    bool OpenDevice(const std::string& path, int baud, int number);
    void Close() override;
    bool IsOpen() const override;
    int PortNumber() const override { return number_; }
    int Write(const uint8_t* data, int count) override;
    int Read(uint8_t* buffer, int maxBytes) override;
    int BytesAvailable() const override;
    PortFailure OpenFailure() const override { return failure_; }

    std::string DevicePath() const { return device_; }
    // Qt's text for the last failure (open, configuration or a lost device); "" when none.
    std::string LastError() const { return lastError_; }

    // Pause after closing an open port before the next open (100 ms).
    void SetSettleMs(int ms) { settleMs_ = ms; }
    // Replaces ProbeDevice (tests: a user without the device's group, when they run as root).
    void SetAccessProbe(AccessProbe probe) { probe_ = std::move(probe); }

signals:
    // Bytes are waiting (the port's received-data notification).
    void Received(int portNumber);
    // The device went away and the port was closed.
    void DeviceLost(int portNumber);

private:
    bool OpenResolved(const std::string& path, int baud);
    bool Fail(PortFault fault, const std::string& device, const std::string& detail);
    void CloseAndSettle();
    void OnError(QSerialPort::SerialPortError error);

    DeviceResolver resolver_;
    QSerialPort port_;
    int number_ = -1;
    int settleMs_ = 100;
    std::string device_;
    std::string lastError_;
    PortFailure failure_;
    AccessProbe probe_;
};

}  // namespace dt
