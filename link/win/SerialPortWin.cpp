#include <windows.h>

#include <QMetaObject>

#include "PortIo.h"
#include "PortNumbering.h"
#include "SerialPort.h"
#include "SupportLog.h"
#include "WinText.h"

namespace dt {

namespace {

constexpr DWORD kDriverQueueBytes = 4096;

std::string ComName(int number) { return "COM" + std::to_string(number); }

bool Configure(HANDLE h, int baud) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return false;
    dcb.BaudRate = DWORD(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(h, &dcb)) return false;
    // A read returns at once with what is there; the port's thread waits for EV_RXCHAR instead.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(h, &timeouts) || !SetCommMask(h, EV_RXCHAR)) return false;
    SetupComm(h, kDriverQueueBytes, kDriverQueueBytes);
    return PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
}

}  // namespace

PortFault ClassifyOpenError(unsigned long win32Error) {
    switch (win32Error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_DEVICE_NOT_CONNECTED: return PortFault::Missing;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION: return PortFault::Busy;
        default: return PortFault::Other;
    }
}

std::wstring DeviceName(const std::string& port) {
    const std::wstring name = win::Wide(port);
    return name.rfind(L"\\\\.\\", 0) == 0 || name.find_first_of(L"\\/") != std::wstring::npos ? name
                                                                                               : L"\\\\.\\" + name;
}

SerialPort::SerialPort(DeviceResolver resolver, QObject* parent)
    : QObject(parent), resolver_(std::move(resolver)) {
    if (!resolver_) resolver_ = ComName;
}

SerialPort::~SerialPort() { io_.reset(); }

bool SerialPort::IsOpen() const { return io_ != nullptr; }

void SerialPort::CloseAndSettle() {
    if (!io_) return;
    Close();
    Sleep(DWORD(settleMs_));
}

bool SerialPort::Fail(PortFault fault, const std::string& device, const std::string& detail) {
    failure_ = {fault, device, detail, {}};
    LogEvent("port did not open: " + device + ": " + PortFaultName(fault) + " (" + detail + ")");
    return false;
}

bool SerialPort::OpenResolved(const std::string& path, int baud) {
    device_ = path;
    HANDLE h = CreateFileW(DeviceName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        lastError_ = win::ErrorText(error);
        return Fail(ClassifyOpenError(error), path, lastError_);
    }
    if (!Configure(h, baud)) {
        lastError_ = win::ErrorText(GetLastError());
        CloseHandle(h);
        return Fail(PortFault::Other, path, lastError_);
    }
    // The port's thread tells the GUI thread through its event queue; a port closed or gone
    // by then takes the news as nothing.
    const int opening = ++openings_;
    io_ = std::make_unique<PortIo>(
        h,
        [this, opening] {
            QMetaObject::invokeMethod(this, [this, opening] { OnArrived(opening); }, Qt::QueuedConnection);
        },
        [this, opening](unsigned long error) {
            QMetaObject::invokeMethod(this, [this, opening, error] { OnLost(opening, error); }, Qt::QueuedConnection);
        });
    LogEvent("port " + ComName(number_) + " opened: " + path + " at " + std::to_string(baud) + " baud");
    return true;
}

void SerialPort::Close() {
    if (!io_) return;
    io_.reset();
}

int SerialPort::Write(const uint8_t* data, int count) {
    if (!io_ || count <= 0) return 0;
    io_->Write(data, count);
    LogFrame(true, data, count);
    return count;
}

int SerialPort::Read(uint8_t* buffer, int maxBytes) {
    if (!io_ || maxBytes <= 0) return 0;
    const int n = io_->Read(buffer, maxBytes);
    if (n > 0) LogFrame(false, buffer, n);
    return n;
}

int SerialPort::BytesAvailable() const { return io_ ? io_->Available() : 0; }

void SerialPort::OnArrived(int opening) {
    if (!io_ || opening != openings_) return;
    io_->Rearm();
    // As with Qt's ports: no second announcement while a handler runs (a message box opened
    // from it); the handler reads again while bytes wait.
    if (announcing_ || io_->Available() == 0) return;
    announcing_ = true;
    const int n = number_;
    emit Received(n);
    NotifyReceived(n);
    announcing_ = false;
}

void SerialPort::OnLost(int opening, unsigned long error) {
    if (!io_ || opening != openings_) return;
    lastError_ = win::ErrorText(error);
    LogEvent("port " + ComName(number_) + " went away: " + device_ + " (" + lastError_ + ")");
    io_.reset();
    emit DeviceLost(number_);
}

}  // namespace dt
