#include "BackupKeeper.h"

#include <memory>

#include "LinkHost.h"
#include "SupportLog.h"
#include "ToolState.h"

namespace dt {

BackupKeeper::BackupKeeper(ToolState& state, LinkHost& host)
    : state_(state), host_(host), clock_([] { return std::time(nullptr); }) {}

void BackupKeeper::SetRead() {
    if (runner_) {
        backedUpSinceOpen_ = false;
        Keep(BackupReason::Read);
        return;
    }
    backedUpSinceOpen_ = Keep(BackupReason::Read);
}

void BackupKeeper::SetAboutToBeWritten() { Keep(BackupReason::Written); }

bool BackupKeeper::Keep(BackupReason reason) {
    if (folder_.empty()) return true;
    // What to write is taken now: the state changes as soon as the link goes on.
    auto backup = std::make_shared<PreparedBackup>(PrepareBackup(state_, reason, clock_()));
    if (!runner_) {
        std::string pathOrWhy;
        bool alreadyKept = false;
        const bool ok = StoreBackup(*backup, folder_, pathOrWhy, kBackupsKept, &alreadyKept);
        Kept(ok, alreadyKept, pathOrWhy);
        return ok;
    }
    struct Result {
        bool ok = false, alreadyKept = false;
        std::string pathOrWhy;
    };
    auto result = std::make_shared<Result>();
    runner_([backup, result, folder = folder_] {
        result->ok = StoreBackup(*backup, folder, result->pathOrWhy, kBackupsKept, &result->alreadyKept);
    }, [this, result, reason] {
        if (reason == BackupReason::Read) backedUpSinceOpen_ = result->ok;
        Kept(result->ok, result->alreadyKept, result->pathOrWhy);
    });
    return true;
}

void BackupKeeper::Kept(bool ok, bool alreadyKept, const std::string& pathOrWhy) {
    // A backup that cannot be written never stops the technician's operation; it is reported.
    if (ok) {
        lastPath_ = pathOrWhy;
        LogEvent((alreadyKept ? "backup not written, the set is already kept: " : "backup written: ") + pathOrWhy);
        return;
    }
    LogEvent("backup failed: " + pathOrWhy);
    host_.ReportBackupFailure(pathOrWhy);
}

}  // namespace dt
