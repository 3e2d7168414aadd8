#pragma once
// The user-level commands: each checks its precondition, sends the first request of its
// exchange and marks the host busy; the protocol engine carries the exchange on to its
// message. Also the control panel's start-up step that opens the port without sending.
#include <string>

namespace dt {

struct ToolState;
class LinkHost;
class BytePort;
class ControllerProtocol;
class BackupKeeper;

class ControllerCommands {
public:
    // settingsPath: the file TakePortFromList saves UartPort to (normally DefaultSettingsPath()).
    ControllerCommands(ToolState& state, LinkHost& host, BytePort& port, ControllerProtocol& protocol,
                       std::string settingsPath);

    // Panel start-up, after the port box was refilled (its first entry selected, or empty):
    // UartPort <- TakePortFromList(boxText) and saved; an open port closed; a number above 0
    // opened at Baudrate (failure message "…COM<n> <baud>"). Nothing is sent, nobody made busy.
    void InitialisePanel(const std::string& portBoxText);

    // Connect: UartPort <- TakePortFromList(boxText) and saved, the port (re)opened, then
    // request 0x02 and the link busy. False when the port could not be opened (message shown).
    bool Connect(const std::string& portBoxText);
    // The exchange part of Connect on a port the caller opened itself (the command line).
    bool StartConnect();
    // Each returns true when its first request was sent; false after a refusal message
    // (MSG_NOT_CONNECTED), or for Download a refused range check (raised as OnValuesChecked).
    // Download stores and checks the state's edit sheet and sends the finished block.
    bool Upload();
    bool Download();
    bool Store();
    bool Default();

    // The opening steps with UartPort and Baudrate; on failure the error message is shown.
    bool OpenSelectedPort();
    // "%s%d %d" with MSG_PORT_OPEN_FAILED, the port number and the baud rate; then, on a line
    // of its own, why the port did not open and what to do, when the port can tell.
    std::string OpenFailureText(int number) const;

    // Backups of each set before it is written; may be null.
    void SetBackupKeeper(BackupKeeper* keeper) { keeper_ = keeper; }
    // The window's Default asks first when the controller's set has not been read since its port
    // was opened, since no backup of it then exists (needs a keeper).
    void SetAskBeforeUnbackedDefault(bool ask) { askBeforeUnbackedDefault_ = ask; }

private:
    void TakePort(const std::string& portBoxText);
    bool RequireOpenPort();
    bool RequireIdentity();

    ToolState& state_;
    LinkHost& host_;
    BytePort& port_;
    ControllerProtocol& protocol_;
    std::string settingsPath_;
    BackupKeeper* keeper_ = nullptr;
    bool askBeforeUnbackedDefault_ = false;
};

}  // namespace dt
