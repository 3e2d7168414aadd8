#include "SerialPort.h"

#include <QFileInfo>
#include <QThread>
#include <memory>

#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PortNumbering.h"
#include "SupportLog.h"

namespace dt {

namespace {

constexpr qint64 kReadBufferSize = 4096;

// A hung-up device (unplugged adapter, closed pseudo-terminal) reports read errors on every
// pass of the event loop; only the hang-up tells it apart from a passing line error.
bool HungUp(QSerialPort& port) {
    pollfd p{static_cast<int>(port.handle()), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

std::string ComName(int number) { return "COM" + std::to_string(number); }

}  // namespace

DeviceAccess ProbeDevice(const std::string& path) {
    DeviceAccess a;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return a;
    a.exists = true;
    a.readWrite = ::access(path.c_str(), R_OK | W_OK) == 0;
    if (const group* g = ::getgrgid(st.st_gid)) a.group = g->gr_name;
    return a;
}

PortFault ClassifyOpenFailure(QSerialPort::SerialPortError error, const DeviceAccess& access) {
    // A node whose hardware is gone fails with an I/O error: the adapter is missing too.
    if (!access.exists || error == QSerialPort::DeviceNotFoundError || error == QSerialPort::ResourceError)
        return PortFault::Missing;
    if (!access.readWrite) return PortFault::NoPermission;
    // Readable and writable, yet refused: another program's lock or exclusive open.
    if (error == QSerialPort::PermissionError) return PortFault::Busy;
    return PortFault::Other;
}

SerialPort::SerialPort(DeviceResolver resolver, QObject* parent)
    : QObject(parent), resolver_(std::move(resolver)) {
    if (!resolver_) {
        // One numbering for the port's life, so reopening reuses its scan of the devices.
        auto numbering = std::make_shared<PortNumbering>(PortNumbering::System());
        resolver_ = [numbering](int n) { return numbering->DeviceFor(n); };
    }
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        const int n = number_;
        emit Received(n);
        NotifyReceived(n);
    });
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPort::OnError);
}

SerialPort::~SerialPort() { port_.close(); }

bool SerialPort::IsOpen() const { return port_.isOpen(); }

void SerialPort::CloseAndSettle() {
    if (!port_.isOpen()) return;
    port_.clear();
    port_.close();
    QThread::msleep(static_cast<unsigned long>(settleMs_));
}

bool SerialPort::Fail(PortFault fault, const std::string& device, const std::string& detail) {
    failure_ = {fault, device, detail, {}};
    if (fault == PortFault::NoPermission) {
        failure_.group = (probe_ ? probe_ : ProbeDevice)(device).group;
        // A node owned by root has no group to join: name the usual one.
        if (failure_.group.empty() || failure_.group == "root") failure_.group = "dialout";
    }
    LogEvent("port did not open: " + device + ": " + PortFaultName(fault) + " (" + detail + ")");
    return false;
}

bool SerialPort::OpenResolved(const std::string& path, int baud) {
    device_ = path;
    // Qt names its lock file after the device, so open the device itself, not a link to it.
    QString canonical = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    port_.setPortName(canonical.isEmpty() ? QString::fromStdString(path) : canonical);
    if (!port_.open(QIODevice::ReadWrite)) {
        lastError_ = port_.errorString().toStdString();
        const DeviceAccess access = (probe_ ? probe_ : ProbeDevice)(path);
        return Fail(ClassifyOpenFailure(port_.error(), access), path, lastError_);
    }
    const bool configured = port_.setBaudRate(baud) && port_.setDataBits(QSerialPort::Data8) &&
                            port_.setParity(QSerialPort::NoParity) &&
                            port_.setStopBits(QSerialPort::OneStop) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        lastError_ = port_.errorString().toStdString();
        port_.close();
        return Fail(PortFault::Other, path, lastError_);
    }
    port_.setReadBufferSize(kReadBufferSize);
    port_.clear(QSerialPort::AllDirections);
    port_.readAll();  // anything Qt buffered while opening belongs to no request
    LogEvent("port " + ComName(number_) + " opened: " + path + " at " + std::to_string(baud) + " baud");
    return true;
}

void SerialPort::Close() {
    if (!port_.isOpen()) return;
    port_.clear();
    port_.close();
}

int SerialPort::Write(const uint8_t* data, int count) {
    if (!port_.isOpen() || count <= 0) return 0;
    qint64 n = port_.write(reinterpret_cast<const char*>(data), count);
    if (n > 0) LogFrame(true, data, static_cast<int>(n));
    return n < 0 ? 0 : static_cast<int>(n);
}

int SerialPort::Read(uint8_t* buffer, int maxBytes) {
    if (!port_.isOpen() || maxBytes <= 0) return 0;
    qint64 n = port_.read(reinterpret_cast<char*>(buffer), maxBytes);
    if (n > 0) LogFrame(false, buffer, static_cast<int>(n));
    return n < 0 ? 0 : static_cast<int>(n);
}

int SerialPort::BytesAvailable() const { return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0; }

void SerialPort::OnError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError) return;
    lastError_ = port_.errorString().toStdString();
    if (!port_.isOpen()) return;
    const bool lost = error == QSerialPort::ResourceError ||
                      ((error == QSerialPort::ReadError || error == QSerialPort::WriteError) && HungUp(port_));
    if (lost) {
        LogEvent("port " + ComName(number_) + " went away: " + device_ + " (" + lastError_ + ")");
        port_.close();
        emit DeviceLost(number_);
    } else {
        port_.clearError();  // a line error: the exchange goes on
    }
}

}  // namespace dt
