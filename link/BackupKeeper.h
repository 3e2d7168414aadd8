#pragma once
// Keeps a backup of every set read from the controller and of every set about to be written into
// it, and remembers whether the controller's set has been read since its port was opened.
#include <ctime>
#include <functional>
#include <string>

#include "Backups.h"

namespace dt {

struct ToolState;
class LinkHost;

class BackupKeeper {
public:
    BackupKeeper(ToolState& state, LinkHost& host);

    // Where backups go; "" (the default, for tests) keeps none.
    void SetFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& Folder() const { return folder_; }
    // The clock that names the files (tests fix it).
    void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
    // Runs `write` on another thread, then `done` back on this one (dropped if this keeper is
    // gone). Without one (the default) files are written at once: a station gives one, so that
    // no slot waits for another's disk.
    using Runner = std::function<void(std::function<void()> write, std::function<void()> done)>;
    void SetRunner(Runner runner) { runner_ = std::move(runner); }

    // A read completed: the set is kept; once its backup is written, it counts as backed up since
    // the port was opened (with a runner: once it has been written).
    void SetRead();
    // A set passed its range check and is about to be written.
    void SetAboutToBeWritten();
    // The port was (re)opened: what was read before may belong to another controller.
    void PortOpened() { backedUpSinceOpen_ = false; }
    // A factory reset now has a way back: the controller's set was read and its backup written
    // (or backups are off) since the port was opened.
    bool BackedUpSinceOpen() const { return backedUpSinceOpen_; }

    // Path of the last backup written, "" when none.
    const std::string& LastPath() const { return lastPath_; }

private:
    bool Keep(BackupReason reason);
    void Kept(bool ok, bool alreadyKept, const std::string& pathOrWhy);

    ToolState& state_;
    LinkHost& host_;
    std::string folder_;
    std::function<std::time_t()> clock_;
    Runner runner_;
    bool backedUpSinceOpen_ = false;
    std::string lastPath_;
};

}  // namespace dt
