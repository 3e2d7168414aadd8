#pragma once
// Everything a front end needs to talk to one controller, wired once: the protocol engine on
// a byte port, the commands, the parameter files and the reply time-out.
//
// The host's SetBusy(enable) must call timeout.Busy(enable) besides enabling its controls:
//
//     void Panel::SetBusy(bool enable) { SetControlsEnabled(enable); link_->timeout.Busy(enable); }
#include <string>

#include "BackupKeeper.h"
#include "ControllerCommands.h"
#include "ControllerProtocol.h"
#include "ParameterFileCommands.h"
#include "ReplyTimeout.h"

namespace dt {

struct ControllerLink {
    ControllerLink(ToolState& state, LinkHost& host, BytePort& port, const std::string& settingsPath,
                   int timeoutIntervalMs = ReplyTimeout::kIntervalMs)
        : protocol(state, host, port),
          commands(state, host, port, protocol, settingsPath),
          files(state, host),
          timeout(state, host, timeoutIntervalMs),
          backups(state, host) {
        protocol.SetBackupKeeper(&backups);
        timeout.SetEvents(&protocol.Events());
        commands.SetBackupKeeper(&backups);
    }

    ControllerProtocol protocol;  // its Events() tell what happened
    ControllerCommands commands;
    ParameterFileCommands files;
    ReplyTimeout timeout;
    BackupKeeper backups;  // keeps none until given a folder
};

}  // namespace dt
