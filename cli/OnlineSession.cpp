#include "OnlineSession.h"

#include "Backups.h"
#include "ExitStatus.h"
#include "ExtraTexts.h"
#include "Interrupts.h"
#include "SupportLog.h"
#include "ToolState.h"

namespace dt::cli {

OnlineSession::OnlineSession(ToolState& state, ConsoleHost& host, std::ostream& err, SerialPort& serial,
                             BytePort& linkPort, int timeoutIntervalMs)
    : state_(state),
      host_(host),
      err_(err),
      serial_(serial),
      link_(state, host, linkPort, DefaultSettingsPath(), timeoutIntervalMs),
      interruptWatch_([this] { CheckInterrupt(); }) {
    host_.Attach(&link_);
    link_.backups.SetFolder(DefaultBackupDir());
    host_.OnIdle([this] { loop_.quit(); });
    link_.protocol.Events().Subscribe(*this);
    limit_.setSingleShot(true);
    QObject::connect(&limit_, &QTimer::timeout, [this] { EndAsTimeout(); });
    // Asked just before each block and store request goes out: none leaves after the signal.
    link_.protocol.SetStopCheck([this] { return writing_ && InterruptRequested(); });
    QObject::connect(&serial_, &SerialPort::DeviceLost, [this](int) { link_.protocol.PortLost(serial_.LastError()); });
}

OnlineSession::~OnlineSession() { link_.protocol.Events().Unsubscribe(*this); }

void OnlineSession::OnLinkLost(const LinkLost& e) {
    if (e.reason == LossReason::Stopped && interrupted_) {
        Tell(StoppedWriting());
        return;
    }
    if (e.reason != LossReason::DeviceGone || host_.Idle()) return;
    err_ << "drivetune-cli: " << serial_.DevicePath() << " went away";
    if (!e.detail.empty()) err_ << " (" << e.detail << ")";
    err_ << "\n";
    host_.SetLinkBusy(false);
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

bool OnlineSession::Run(const std::function<bool()>& start, Writes writes) {
    if (InterruptRequested()) {
        interrupted_ = true;
        return false;
    }
    written_ = BlockWritten{};
    if (outcome_ != Outcome::None) readAfterStore_ = true;
    if (!start()) return false;
    writing_ = writes == Writes::Yes;
    Wait();
    writing_ = false;
    return true;
}

void OnlineSession::Wait() {
    if (host_.Idle()) return;
    limit_.start(limitMs_);
    CheckInterrupt();
    if (!host_.Idle()) loop_.exec();
    limit_.stop();
}

void OnlineSession::CheckInterrupt() {
    if (!InterruptRequested() || host_.Idle()) return;
    if (!interrupted_ && writing_) {
        // The block in flight is finished and acknowledged first: the controller never holds
        // half a block. A store or restore already asked for gets its answer.
        interrupted_ = true;
        link_.protocol.StopAfterBlockInFlight();
        return;
    }
    if (writing_) return;
    interrupted_ = true;
    // A read: nothing was written, so it ends now.
    host_.SetLinkBusy(false);
}

void OnlineSession::Tell(const std::string& text) {
    told_ = true;
    host_.Progress().Clear();
    err_ << "drivetune-cli: " << text << "\n" << std::flush;
    LogEvent("interrupted: " + text);
}

bool OnlineSession::Interrupted() const { return interrupted_ || InterruptRequested(); }

void OnlineSession::OnStoreOutcome(const StoreOutcome& e) {
    outcome_ = e.stored ? Outcome::Stored : Outcome::Refused;
    // The restore's new values are read at once.
    if (e.operation == PendingOperation::RestoreDefaults) readAfterStore_ = true;
}

int OnlineSession::Finish(int rc) {
    if (!Interrupted()) return rc;
    interrupted_ = true;
    if (storeRequested_ && !told_) return FinishAfterStoreRequest();
    // Blocks written and no answer to a store (the controller fell silent after the stop): they
    // are held unstored all the same.
    const bool heldUnstored = written_.count > 0 && outcome_ == Outcome::None;
    if (!told_) Tell(heldUnstored ? StoppedWriting() : state_.Extra(XTX_STOPPED));
    return kInterrupted;
}

int OnlineSession::FinishAfterStoreRequest() {
    if (outcome_ == Outcome::Stored && readAfterStore_) {
        Tell(state_.Extra(XTX_STOPPED_AFTER_STORE));
        return kInterrupted;
    }
    // The stop came too late to hold the store back: its answer is the result.
    if (outcome_ == Outcome::Stored) Tell(state_.Extra(XTX_STOP_AFTER_STORED));
    else if (outcome_ == Outcome::Refused) Tell(state_.Extra(XTX_STOP_AFTER_REFUSED));
    else Tell(state_.Extra(XTX_STOP_STORE_UNANSWERED));
    return outcome_ == Outcome::Stored ? kOk : kRefused;
}

std::string OnlineSession::StoppedWriting() const {
    if (written_.count == 0) return state_.Extra(XTX_STOPPED);
    return FillIn(state_.Extra(XTX_STOPPED_WRITING), std::to_string(written_.index), std::to_string(written_.count));
}

void OnlineSession::EndAsTimeout() {
    if (host_.Idle()) return;
    // A controller that keeps answering "not ready" would keep a script waiting for ever.
    host_.ShowMessage(state_.Message(MSG_TIMEOUT), MessageKind::Error);
    host_.SetLinkBusy(false);
}

}  // namespace dt::cli
