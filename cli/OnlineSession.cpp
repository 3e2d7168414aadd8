#include "OnlineSession.h"

#include "Backups.h"
#include "ToolState.h"

namespace dt::cli {

OnlineSession::OnlineSession(ToolState& state, ConsoleHost& host, std::ostream& err, SerialPort& serial,
                             BytePort& linkPort, int timeoutIntervalMs)
    : state_(state),
      host_(host),
      err_(err),
      serial_(serial),
      link_(state, host, linkPort, DefaultSettingsPath(), timeoutIntervalMs) {
    host_.Attach(&link_);
    link_.backups.SetFolder(DefaultBackupDir());
    host_.OnIdle([this] { loop_.quit(); });
    link_.protocol.Events().Subscribe(*this);
    limit_.setSingleShot(true);
    QObject::connect(&limit_, &QTimer::timeout, [this] { EndAsTimeout(); });
    QObject::connect(&serial_, &SerialPort::DeviceLost, [this](int) { link_.protocol.PortLost(serial_.LastError()); });
}

OnlineSession::~OnlineSession() { link_.protocol.Events().Unsubscribe(*this); }

void OnlineSession::OnLinkLost(const LinkLost& e) {
    if (e.reason != LossReason::DeviceGone || host_.Idle()) return;
    err_ << "drivetune-cli: " << serial_.DevicePath() << " went away";
    if (!e.detail.empty()) err_ << " (" << e.detail << ")";
    err_ << "\n";
    host_.SetBusy(true);
}

bool OnlineSession::Open(const PortChoice& port) {
    const int baud = state_.settings.Baudrate;
    const bool open = port.device.empty() ? serial_.OpenPort(port.number, baud)
                                          : serial_.OpenDevice(port.device, baud, port.number);
    link_.protocol.ClearReceiveBuffer();
    if (open) return true;
    host_.ShowMessage(link_.commands.OpenFailureText(port.number), MessageKind::Error);
    std::string where = port.device.empty() ? serial_.DevicePath() : port.device;
    err_ << "drivetune-cli: " << (where.empty() ? "" : where + ": ")
         << (serial_.LastError().empty() ? "cannot open the port" : serial_.LastError()) << "\n";
    return false;
}

bool OnlineSession::Run(const std::function<bool()>& start) {
    if (!start()) return false;
    Wait();
    return true;
}

void OnlineSession::Wait() {
    if (host_.Idle()) return;
    limit_.start(limitMs_);
    loop_.exec();
    limit_.stop();
}

void OnlineSession::EndAsTimeout() {
    if (host_.Idle()) return;
    // A controller that keeps answering "not ready" would keep a script waiting for ever.
    host_.ShowMessage(state_.Message(MSG_TIMEOUT), MessageKind::Error);
    host_.SetBusy(true);
}

}  // namespace dt::cli
