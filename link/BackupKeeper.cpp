#include "BackupKeeper.h"

#include "LinkHost.h"
#include "SupportLog.h"
#include "ToolState.h"

namespace dt {

BackupKeeper::BackupKeeper(ToolState& state, LinkHost& host)
    : state_(state), host_(host), clock_([] { return std::time(nullptr); }) {}

void BackupKeeper::SetRead() {
    backedUpSinceOpen_ = Keep(BackupReason::Read);
}

void BackupKeeper::SetAboutToBeWritten() { Keep(BackupReason::Written); }

bool BackupKeeper::Keep(BackupReason reason) {
    if (folder_.empty()) return true;
    std::string pathOrWhy;
    // A backup that cannot be written never stops the technician's operation; it is reported.
    bool alreadyKept = false;
    if (SaveBackup(state_, reason, folder_, clock_(), pathOrWhy, kBackupsKept, &alreadyKept)) {
        lastPath_ = pathOrWhy;
        LogEvent((alreadyKept ? "backup not written, the set is already kept: " : "backup written: ") + pathOrWhy);
        return true;
    }
    LogEvent("backup failed: " + pathOrWhy);
    host_.ReportBackupFailure(pathOrWhy);
    return false;
}

}  // namespace dt
