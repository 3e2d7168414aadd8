#pragma once
// Everything a front end needs to talk to one controller, wired once: the protocol engine on
// a byte port, the commands, the parameter files, the reply time-out and the backups. The window,
// the command line, the station's slots, the tests and the fuzzers all build it this way.
//
// The host's SetLinkBusy(busy) must call timeout.SetLinkBusy(busy) besides greying its controls:
//
//     void Host::SetLinkBusy(bool busy) { SetControlsEnabled(!busy); link_->timeout.SetLinkBusy(busy); }
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

    // A front end that shows the sheet is told when a read or an import changed it.
    void SetSheetView(SheetView* view) {
        protocol.SetSheetView(view);
        files.SetSheetView(view);
    }

    ControllerProtocol protocol;  // its Events() tell what happened
    ControllerCommands commands;
    ParameterFileCommands files;
    ReplyTimeout timeout;
    BackupKeeper backups;  // keeps none until given a folder
};

}  // namespace dt
