#include "Slot.h"

#include <nlohmann/json.hpp>

#include "ControllerProfile.h"
#include "Recipe.h"
#include "SupportLog.h"

namespace dt::station {

using record::Outcome;

std::string IdentityText(const ToolState& unit) {
    const ControllerProfile& profile = ProfileOf(unit);
    if (profile.Facts().identityBytes == 0) return unit.Extra(profile.Facts().statusText);
    const uint16_t model = profile.ModelWord(unit);
    return std::string(unit.Extra(profile.Facts().statusText)) + ", " +
           FillIn(unit.Extra(XTX_STATUS_VARIANT), profile.Variant(unit)) + ", " +
           FillIn(unit.Extra(XTX_STATUS_CUSTOMER), std::to_string(model >> 10)) + ", " +
           FillIn(unit.Extra(XTX_STATUS_VERSION), std::to_string(model & 0x3FF));
}

Slot::Slot(const SlotConfig& config, const ToolState& base, const Recipe& recipe, DiskWork& disk, SlotListener& listener)
    : config_(config), recipe_(recipe), disk_(disk), listener_(listener), unit_(std::make_unique<ToolState>(base)) {
    link_ = std::make_unique<ControllerLink>(*unit_, host_, serial_, std::string(), config.timeoutIntervalMs);
    host_.Attach(link_.get());
    link_->backups.SetFolder(config.backupFolder);
    link_->backups.SetRunner(disk.BackupRunner(this));
    link_->protocol.Events().Subscribe(*this);
    for (QTimer* t : {&probeWait_, &nextProbe_, &limit_}) t->setSingleShot(true);
    connect(&probeWait_, &QTimer::timeout, this, [this] { ProbeAnswered(false); });
    connect(&nextProbe_, &QTimer::timeout, this, [this] { Probe(); });
    connect(&limit_, &QTimer::timeout, this, [this] {
        End(Outcome::Error, FillIn(unit_->Extra(XTX_PROGRAM_NO_ANSWER), unit_->Message(MSG_TIMEOUT)));
    });
    connect(&serial_, &SerialPort::DeviceLost, this, [this](int) {
        if (OnWire()) return link_->protocol.PortLost(serial_.LastError());
        // A record being written: what follows it finds the port closed.
        if (step_ != Step::Idle) return;
        // Between units: no attempt to end, but nothing more can be probed.
        probeWait_.stop();
        nextProbe_.stop();
        status_.cause = FillIn(unit_->Extra(XTX_PROGRAM_PORT_GONE), serial_.LastError());
        SetState(SlotState::Stopped);
    });
}

Slot::~Slot() { link_->protocol.Events().Unsubscribe(*this); }

bool Slot::OpenPort() {
    const int baud = unit_->settings.Baudrate;
    if (config_.device.empty() ? serial_.OpenPort(config_.number, baud)
                               : serial_.OpenDevice(config_.device, baud, config_.number))
        return true;
    const std::string why = serial_.LastError().empty() ? link_->commands.OpenFailureText(config_.number) : serial_.LastError();
    FreshAttempt();
    End(Outcome::Error, FillIn(unit_->Extra(XTX_PROGRAM_PORT_CLOSED), why));
    return false;
}

void Slot::Start() {
    Listen(false);
    if (!OpenPort()) return;
    if (config_.repeat) WaitForUnit();
    else BeginAttempt();
}

void Slot::Listen(bool protocol) {
    probing_ = false;
    if (protocol) {
        link_->protocol.ClearReceiveBuffer();
        serial_.SetReceivedHandler([this](int n) { link_->protocol.OnPortReceived(n); });
    } else {
        // Late replies of an ended exchange are read and dropped; only probes look at them.
        probeBuffer_.Clear();
        serial_.SetReceivedHandler([this](int) { ProbeBytes(); });
    }
}

void Slot::WaitForUnit() {
    SetState(SlotState::Waiting);
    Probe();
}

void Slot::AwaitRemoval() {
    silentProbes_ = 0;
    SetState(SlotState::Remove);
    Probe();
}

void Slot::Probe() {
    Listen(false);
    probing_ = true;
    const std::vector<uint8_t> frame = BuildFrame(REQ_CONNECT, nullptr, 0);
    serial_.Write(frame.data(), static_cast<int>(frame.size()));
    probeWait_.start(kProbeWaitMs);
}

void Slot::ProbeBytes() {
    while (serial_.BytesAvailable() > 0) {
        const int n = serial_.Read(probeBuffer_.Tail(), std::min(probeBuffer_.Room(), ReceiveBuffer::kReadChunk));
        if (n <= 0) break;
        probeBuffer_.Grow(n);
    }
    LinkFrame frame;
    bool answered = false;
    while (probeBuffer_.TakeFrame(frame))
        answered = answered || frame.command == REPLY_CONNECTED || frame.command == REPLY_NOT_READY;
    if (!probing_ || !answered) return;
    probing_ = false;
    probeWait_.stop();
    ProbeAnswered(true);
}

void Slot::ProbeAnswered(bool answered) {
    probing_ = false;
    if (status_.state == SlotState::Waiting) {
        if (answered) BeginAttempt();
        else nextProbe_.start(kProbeIntervalMs - kProbeWaitMs);
        return;
    }
    if (status_.state != SlotState::Remove) return;
    silentProbes_ = answered ? 0 : silentProbes_ + 1;
    if (silentProbes_ >= kSilentProbes) WaitForUnit();
    else nextProbe_.start(answered ? kProbeIntervalMs : kProbeIntervalMs - kProbeWaitMs);
}

void Slot::BeginAttempt() {
    ++serial_no_;
    refusal_.clear();
    written_.clear();
    FreshAttempt();
    attempt_.id = record::NewAttemptId();
    attempt_.started = record::UtcNow();
    step_ = Step::Begin;
    const unsigned attempt = serial_no_;
    disk_.Begin(attempt_, this, [this, attempt](bool ok, const std::string& error) {
        if (attempt == serial_no_ && step_ == Step::Begin) Begun(ok, error);
    });
}

void Slot::Begun(bool recorded, const std::string& error) {
    recorded_ = recorded;
    // Never a unit written without its record.
    if (!recorded_) return End(Outcome::Error, std::string(unit_->Extra(XTX_PROGRAM_JOURNAL_FAILED)) + " " + error);
    if (stopping_) return End(Outcome::Interrupted, unit_->Extra(XTX_PROGRAM_STOPPED_READING));
    if (!serial_.IsOpen()) return End(Outcome::Error, FillIn(unit_->Extra(XTX_PROGRAM_PORT_GONE), serial_.LastError()));
    listener_.OnAttemptBegun(config_.index, attempt_);
    Listen(true);
    step_ = Step::Read;
    SetState(SlotState::Reading);
    limit_.start(config_.attemptLimitMs);
    if (!link_->commands.StartConnect()) End(Outcome::Error, host_.LastMessage());
}

void Slot::FreshAttempt() {
    attempt_ = record::Attempt{};
    attempt_.recipeFile = config_.recipeFile;
    attempt_.recipeSha256 = recipe_.Sha256();
    attempt_.roundedJson = "[]";
    attempt_.label = config_.label;
    attempt_.operatorName = config_.operatorName;
    attempt_.station = config_.station;
    attempt_.port = config_.port;
}

void Slot::Later(std::function<void()> step) {
    // Once the link has finished handling the event that told us; dropped when the attempt it
    // belongs to has ended meanwhile.
    const unsigned attempt = serial_no_;
    QMetaObject::invokeMethod(
        this,
        [this, attempt, step = std::move(step)] {
            if (attempt == serial_no_ && OnWire()) step();
        },
        Qt::QueuedConnection);
}

void Slot::OnReadCompleted(const ReadCompleted&) {
    if (step_ == Step::Read) Later([this] { AfterRead(); });
    else if (step_ == Step::Verify) Later([this] { AfterVerify(); });
}

void Slot::OnStoreOutcome(const StoreOutcome& e) {
    if (step_ != Step::Write || e.operation != PendingOperation::Download) return;
    if (e.stored) Later([this] { StartVerify(); });
    else Later([this] { End(Outcome::Fail, unit_->Extra(XTX_PROGRAM_STORE_REFUSED)); });
}

void Slot::OnBlockWritten(const BlockWritten& e) {
    if (step_ == Step::Write) SetState(SlotState::Writing, e.index, e.count);
}

void Slot::OnValuesChecked(const ValidationResult& result) {
    if (!result.refused) return;
    const std::vector<GridRow> rows = GridLayout(*unit_);
    std::string names;
    for (int r : result.refusedRows)
        if (r >= 0 && r < static_cast<int>(rows.size()))
            names += (names.empty() ? "" : "; ") + rows[r].desc->Name(unit_->language);
    refusal_ = FillIn(unit_->Extra(XTX_PROGRAM_OUT_OF_RANGE), names);
}

void Slot::OnLinkLost(const LinkLost& e) {
    if (!OnWire()) return;
    std::string cause;
    Outcome outcome = Outcome::Error;
    switch (e.reason) {
        case LossReason::Timeout: cause = FillIn(unit_->Extra(XTX_PROGRAM_NO_ANSWER), unit_->Message(MSG_TIMEOUT)); break;
        case LossReason::DeviceGone: cause = FillIn(unit_->Extra(XTX_PROGRAM_PORT_GONE), e.detail); break;
        case LossReason::BadReply: cause = unit_->Message(MSG_PACKET_LENGTH_ERROR); break;
        case LossReason::Stopped:
            outcome = Outcome::Interrupted;
            cause = FillIn(unit_->Extra(XTX_STOPPED_WRITING), std::to_string(status_.block), std::to_string(status_.blocks));
            break;
    }
    Later([this, outcome, cause] { End(outcome, cause); });
}

void Slot::AfterRead() {
    attempt_.identity = IdentityText(*unit_);
    const std::string refusal = GateRefusal(recipe_, *unit_);
    if (!refusal.empty()) return End(Outcome::Fail, refusal);
    if (stopping_) return End(Outcome::Interrupted, unit_->Extra(XTX_PROGRAM_STOPPED_READING));
    FillLikeTechnician(recipe_, *unit_);
    step_ = Step::Write;
    SetState(SlotState::Writing, 0, ProfileOf(*unit_).WriteBlockCount());
    if (!link_->commands.Download()) {
        return End(Outcome::Fail, refusal_.empty() ? host_.LastMessage() : refusal_);
    }
    written_ = WrittenBlocks();
    attempt_.writtenSha256 = Sha256Hex(std::vector<unsigned char>(written_.begin(), written_.end()));
    nlohmann::json rounded = nlohmann::json::array();
    for (const RoundedRow& r : RoundedRows(recipe_, *unit_))
        rounded.push_back({{"id", r.row}, {"name", r.name}, {"recipe", r.recipe}, {"unit", r.unit}});
    attempt_.roundedJson = rounded.dump();
}

std::vector<uint8_t> Slot::WrittenBlocks() const { return ProfileOf(*unit_).WrittenBytes(*unit_); }

void Slot::StartVerify() {
    step_ = Step::Verify;
    SetState(SlotState::Verifying);
    // What is compared must come from the unit: the blocks held are cleared first.
    const ControllerProfile& profile = ProfileOf(*unit_);
    profile.ClearWritten(*unit_);
    // The read back starts where the download did.
    link_->protocol.SendRequest(static_cast<uint8_t>(REQ_READ_BLOCK + (profile.FirstWriteCommand() & kBlockNumberMask)));
    host_.SetLinkBusy(true);
}

void Slot::AfterVerify() {
    const std::vector<uint8_t> readBack = WrittenBlocks();
    attempt_.readBackSha256 = Sha256Hex(std::vector<unsigned char>(readBack.begin(), readBack.end()));
    if (readBack == written_) End(Outcome::Pass, std::string());
    else End(Outcome::Fail, unit_->Extra(XTX_PROGRAM_READ_BACK_DIFFERS));
}

void Slot::End(Outcome outcome, const std::string& cause) {
    ++serial_no_;
    limit_.stop();
    link_->timeout.SetLinkBusy(false);
    Listen(false);
    attempt_.outcome = outcome;
    attempt_.cause = cause;
    attempt_.ended = record::UtcNow();
    if (attempt_.started.empty()) attempt_.started = attempt_.ended;
    if (!recorded_) return Finish();
    recorded_ = false;
    step_ = Step::Record;
    const unsigned attempt = serial_no_;
    disk_.Complete(attempt_, this, [this, attempt](bool ok, const std::string& error) {
        if (attempt == serial_no_ && step_ == Step::Record) Recorded(ok, error);
    });
}

void Slot::Recorded(bool ok, const std::string& error) {
    if (!ok) {
        const std::string failed = std::string(unit_->Extra(XTX_PROGRAM_JOURNAL_FAILED)) + " " + error;
        LogEvent("journal: " + failed);
        // A pass is told only once its record is on disk.
        if (attempt_.outcome == Outcome::Pass) {
            attempt_.outcome = Outcome::Error;
            attempt_.cause = failed;
        }
    }
    Finish();
}

void Slot::Finish() {
    step_ = Step::Idle;
    if (attempt_.outcome == Outcome::Pass) ++counts_.passed;
    else ++counts_.failed;
    status_.outcome = attempt_.outcome;
    status_.cause = attempt_.cause;
    SetState(SlotState::Ended);
    listener_.OnAttemptEnded(config_.index, attempt_);
    if (stopping_ || !config_.repeat || !serial_.IsOpen()) SetState(SlotState::Stopped);
    else AwaitRemoval();
}

void Slot::Stop() {
    if (stopping_) return;
    stopping_ = true;
    switch (step_) {
        case Step::Idle:
            probeWait_.stop();
            nextProbe_.stop();
            Listen(false);
            SetState(SlotState::Stopped);
            return;
        case Step::Begin:
        case Step::Record: return;  // the record written ends it, and stops the slot
        case Step::Read: End(Outcome::Interrupted, unit_->Extra(XTX_PROGRAM_STOPPED_READING)); return;
        case Step::Write: link_->protocol.StopAfterBlockInFlight(); return;
        case Step::Verify: return;  // stored already: its read-back ends the attempt
    }
}

void Slot::SetState(SlotState state, int block, int blocks) {
    status_.state = state;
    status_.block = block;
    status_.blocks = blocks;
    listener_.OnSlotStatus(config_.index, status_);
    emit StatusChanged(config_.index);
}

}  // namespace dt::station
