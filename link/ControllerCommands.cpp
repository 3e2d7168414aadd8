#include "ControllerCommands.h"

#include "BackupKeeper.h"
#include "BytePort.h"
#include "ControllerProfile.h"
#include "ControllerProtocol.h"
#include "GridPasses.h"
#include "LinkHost.h"
#include "PortNumbering.h"
#include "ToolState.h"

namespace dt {

ControllerCommands::ControllerCommands(ToolState& state, LinkHost& host, BytePort& port, ControllerProtocol& protocol,
                                       std::string settingsPath)
    : state_(state), host_(host), port_(port), protocol_(protocol), settingsPath_(std::move(settingsPath)) {}

std::string ControllerCommands::OpenFailureText(int number) const {
    // The port message first; a second line says why and what to do.
    const std::string hint = PortFailureHint(state_, port_.OpenFailure());
    return state_.Message(MSG_PORT_OPEN_FAILED) + std::to_string(number) + " " +
           std::to_string(state_.settings.Baudrate) + (hint.empty() ? "" : "\n" + hint);
}

void ControllerCommands::TakePort(const std::string& portBoxText) {
    state_.settings.UartPort = TakePortFromList(portBoxText);
    SaveSettings(settingsPath_, state_.settings);
}

bool ControllerCommands::OpenSelectedPort() {
    const int number = state_.settings.UartPort;
    const bool open = port_.OpenPort(number, state_.settings.Baudrate);
    // Bytes of an earlier port or connection belong to no request of this one.
    protocol_.ClearReceiveBuffer();
    if (keeper_) keeper_->PortOpened();
    if (!open) host_.ShowMessage(OpenFailureText(number), MessageKind::Error);
    return open;
}

void ControllerCommands::InitialisePanel(const std::string& portBoxText) {
    TakePort(portBoxText);
    if (state_.settings.UartPort <= 0) {
        port_.Close();
        return;
    }
    OpenSelectedPort();  // closes an open port first
}

bool ControllerCommands::Connect(const std::string& portBoxText) {
    TakePort(portBoxText);
    if (!OpenSelectedPort()) return false;
    return StartConnect();
}

bool ControllerCommands::StartConnect() {
    if (!RequireOpenPort()) return false;
    protocol_.SendRequest(REQ_CONNECT);
    host_.SetLinkBusy(true);
    return true;
}

bool ControllerCommands::RequireOpenPort() {
    if (port_.IsOpen()) return true;
    host_.ShowMessage(state_.Message(MSG_NOT_CONNECTED), MessageKind::Warning);
    return false;
}

bool ControllerCommands::RequireIdentity() {
    if (port_.IsOpen() && state_.link.identityReceived) return true;
    host_.ShowMessage(state_.Message(MSG_NOT_CONNECTED), MessageKind::Warning);
    return false;
}

bool ControllerCommands::Upload() {
    if (!RequireOpenPort()) return false;
    protocol_.SendRequest(REQ_READ_IDENTITY);
    host_.SetLinkBusy(true);
    return true;
}

bool ControllerCommands::Download() {
    if (!RequireIdentity()) return false;
    EditSheet& sheet = state_.sheet;
    if (sheet.Kind() != state_.kind) {
        // The cells belong to the other kind of controller: read this one first.
        host_.ShowMessage(state_.Message(MSG_NOT_CONNECTED), MessageKind::Warning);
        return false;
    }
    StoreValues(state_, sheet.Texts());
    const ValidationResult checked = ValidateAll(state_, sheet.Texts());
    protocol_.Events().Raise(checked);
    if (checked.refused) return false;
    sheet.NoteSending(state_, state_.language);
    if (keeper_) keeper_->SetAboutToBeWritten();
    protocol_.DownloadStarting();
    const ControllerProfile& profile = ProfileOf(state_);
    protocol_.SendFrame(profile.FirstWriteCommand(), profile.FirstWriteBlock(state_), kBlockBytes);
    host_.SetLinkBusy(true);
    return true;
}

bool ControllerCommands::Store() {
    if (!RequireIdentity()) return false;
    // Busy first: a stop taken here ends the exchange at once.
    host_.SetLinkBusy(true);
    protocol_.RequestStore(PendingOperation::Store);
    return true;
}

bool ControllerCommands::Default() {
    if (!RequireOpenPort()) return false;
    if (askBeforeUnbackedDefault_ && keeper_ && !keeper_->BackedUpSinceOpen() &&
        !host_.Ask(state_.Extra(XTX_DEFAULT_WITHOUT_BACKUP), MessageKind::Warning))
        return false;
    protocol_.SendRequest(REQ_RESTORE_DEFAULTS);
    host_.SetLinkBusy(true);
    return true;
}

}  // namespace dt
