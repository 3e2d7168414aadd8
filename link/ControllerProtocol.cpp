#include "ControllerProtocol.h"

#include "BackupKeeper.h"

#include <algorithm>
#include <filesystem>

#include "BytePort.h"
#include "ControllerProfile.h"
#include "GridPasses.h"
#include "LinkHost.h"
#include "ToolState.h"

namespace dt {

namespace {

// Resets the handling flag however the pass ends.
struct HandlingGuard {
    bool& flag;
    explicit HandlingGuard(bool& f) : flag(f) { flag = true; }
    ~HandlingGuard() { flag = false; }
};

uint16_t BigEndianWord(const std::vector<uint8_t>& bytes, int word) {
    return static_cast<uint16_t>((bytes[2 * word] << 8) | bytes[2 * word + 1]);
}

}  // namespace

ControllerProtocol::ControllerProtocol(ToolState& state, LinkHost& host, BytePort& port)
    : state_(state), host_(host), port_(port) {
    port_.SetReceivedHandler([this](int number) { OnPortReceived(number); });
}

ControllerProtocol::~ControllerProtocol() { port_.SetReceivedHandler({}); }

void ControllerProtocol::SendFrame(uint8_t command, const uint8_t* payload, int length) {
    std::vector<uint8_t> frame = BuildFrame(command, payload, length);
    if (frame.empty() || !port_.IsOpen()) return;
    port_.Write(frame.data(), static_cast<int>(frame.size()));
}

void ControllerProtocol::SendBlock(uint8_t command, const uint8_t* block) {
    if (block) SendFrame(command, block, kBlockBytes);
}

void ControllerProtocol::ReadArrived() {
    int room = std::min(ReceiveBuffer::kReadChunk, buffer_.Room());
    if (room <= 0) return;
    buffer_.Grow(port_.Read(buffer_.Tail(), room));
}

void ControllerProtocol::OnPortReceived(int portNumber) {
    if (!port_.IsOpen() || portNumber != port_.PortNumber()) return;
    if (handling_) {
        // A message box of the running pass is open; that pass reads on when it returns.
        morePending_ = true;
        return;
    }
    HandlingGuard guard(handling_);
    do {
        morePending_ = false;
        ReadArrived();
        LinkFrame frame;
        // The frame leaves the buffer before it is acted on, so a nested pass cannot see it again.
        while (buffer_.TakeFrame(frame)) HandleReply(frame);
    } while (port_.IsOpen() && (morePending_ || port_.BytesAvailable() > 0));
}

void ControllerProtocol::HandleReply(const LinkFrame& frame) {
    if (observer_) observer_(frame);
    const uint8_t code = frame.command;
    switch (code & kCodeGroupMask) {
    case REPLY_BLOCK_READ: OnBlockRead(frame); return;
    case REPLY_BLOCK_WRITTEN: OnBlockWritten(code); return;
    default: break;
    }
    switch (code) {
    case REPLY_NOT_READY: OnNotReady(); return;
    case REPLY_CONNECTED: SendRequest(REQ_READ_IDENTITY); return;
    case REPLY_STORED: StoreOutcome(true); return;
    case REPLY_STORE_FAILED: StoreOutcome(false); return;
    case REPLY_RESTORE_ARMED: OnRestoreArmed(); return;
    default: return;
    }
}

void ControllerProtocol::OnNotReady() {
    SendRequest(REQ_CONNECT);
    host_.SetLinkBusy(true);
}

void ControllerProtocol::OnBlockRead(const LinkFrame& frame) {
    if (frame.Length() != kBlockBytes) {
        host_.SetLinkBusy(false);
        events_.Raise(LinkLost{LossReason::BadReply, std::string()});
        host_.ShowMessage(state_.Message(MSG_PACKET_LENGTH_ERROR), MessageKind::Error);
        return;
    }
    LinkState& link = state_.link;
    const int n = frame.command & kBlockNumberMask;
    if (n == kBlockIdentity) {
        // The identity chooses the profile. Cleared as well as set, so a standard controller
        // read after an FOC one in the same run is never sent a FocBlock.
        state_.kind = KindOfModelWord(BigEndianWord(frame.payload, kIdWordModel));
        link.identityReceived = true;
    }
    const ControllerProfile& profile = ProfileOf(state_);
    const ReadStep step = profile.TakeReadBlock(state_, n, frame.payload);
    if (step == ReadStep::Ignored) return;
    const BlockPlace place = profile.ReadPlace(n);
    if (place.count > 0) events_.Raise(BlockRead{place.index, place.count});
    if (step == ReadStep::Next) SendRequest(static_cast<uint8_t>(REQ_READ_BLOCK + NextBlock(n)));
    else ReadCompletion(profile);
}

void ControllerProtocol::OnBlockWritten(uint8_t code) {
    // Acknowledgements: any length up to 32, payload unread.
    const int n = code & kBlockNumberMask;
    const BlockPlace place = ProfileOf(state_).PlaceOf(n);
    const bool last = place.Last();
    const bool chained = (n >= kBlockFoc && n <= kBlockLastSection3) || (n >= kBlockFirstSection2 && n < kBlockLast);
    if (!last && !chained) return;
    if (place.count > 0) events_.Raise(BlockWritten{place.index, place.count});
    if (last) {
        RequestStore(PendingOperation::Download);
        return;
    }
    if (StopHere()) return;
    const int next = NextBlock(n);
    SendBlock(static_cast<uint8_t>(REQ_WRITE_BLOCK + next), state_.block.Block(next));
}

bool ControllerProtocol::StopHere() {
    if (!stopRequested_ && !(stopCheck_ && stopCheck_())) return false;
    stopRequested_ = false;
    state_.sheet.DropSent();
    host_.SetLinkBusy(false);
    events_.Raise(LinkLost{LossReason::Stopped, std::string()});
    return true;
}

void ControllerProtocol::PortLost(const std::string& detail) {
    events_.Raise(LinkLost{LossReason::DeviceGone, detail});
}

void ControllerProtocol::RequestStore(PendingOperation operation) {
    if (StopHere()) return;
    state_.link.pendingOperation = operation;
    events_.Raise(StoreRequested{operation});
    SendRequest(REQ_STORE);
}

void ControllerProtocol::OnRestoreArmed() { RequestStore(PendingOperation::RestoreDefaults); }

void ControllerProtocol::ShowRead() {
    if (view_) {
        view_->RebuildGroupTree();
        view_->BuildGrid();
    }
    host_.SetLinkBusy(false);
    // What the controller holds is both shown and the set edits are measured against.
    ShowOnSheet(state_);
    state_.sheet.TakeBaseline(state_, state_.language);
    if (view_) view_->ShowValues();
    if (keeper_) keeper_->SetRead();
}

void ControllerProtocol::ReadCompletion(const ControllerProfile& profile) {
    const ReadVerdict verdict = profile.CompleteRead(state_);
    ShowRead();
    events_.Raise(ReadCompleted{profile.Kind(), verdict.modelWord, verdict.versionMatches});
    if (verdict.versionMatches) host_.ShowMessage(state_.Message(MSG_UPLOAD_OK), MessageKind::Info);
    else host_.ShowMessage(state_.Message(MSG_VERSION_MISMATCH), MessageKind::Warning);
}

std::string ControllerProtocol::RestoreMessage(bool stored) const {
    std::string text = state_.Message(stored ? MSG_RESTORE_OK : MSG_RESTORE_FAILED);
    // The set the factory values replaced: the last one kept from this controller. Its name
    // alone, so the box stays narrow; the list of backups shows where it is.
    if (stored && keeper_ && !keeper_->LastPath().empty())
        text += "\n" + FillIn(state_.Extra(XTX_DEFAULT_BACKUP), std::filesystem::path(keeper_->LastPath()).filename().string());
    return text;
}

void ControllerProtocol::StoreOutcome(bool stored) {
    host_.SetLinkBusy(false);
    const PendingOperation operation = state_.link.pendingOperation;
    if (operation == PendingOperation::Download) {
        if (stored) state_.sheet.AdoptSent();
        else state_.sheet.DropSent();
    }
    events_.Raise(dt::StoreOutcome{operation, stored});
    switch (operation) {
    case PendingOperation::Download:
        host_.ShowMessage(state_.Message(stored ? MSG_DOWNLOAD_OK : MSG_DOWNLOAD_FAILED), MessageKind::Info);
        return;
    case PendingOperation::RestoreDefaults:
        host_.ShowMessage(RestoreMessage(stored), MessageKind::Info);
        // Read the controller again so the grid shows its new values.
        SendRequest(REQ_READ_IDENTITY);
        return;
    case PendingOperation::Store:
        if (stored) host_.ShowMessage(state_.Message(MSG_STORE_OK), MessageKind::Info);
        else host_.ShowMessage(state_.Message(MSG_STORE_FAILED), MessageKind::Error);
        return;
    }
}

}  // namespace dt
