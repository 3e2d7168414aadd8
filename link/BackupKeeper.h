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

    // A read completed: the set is kept and counts as read since the port was opened.
    void SetRead();
    // A set passed its range check and is about to be written.
    void SetAboutToBeWritten();
    // The port was (re)opened: what was read before may belong to another controller.
    void PortOpened() { readSinceOpen_ = false; }
    bool ReadSinceOpen() const { return readSinceOpen_; }

    // Path of the last backup written, "" when none.
    const std::string& LastPath() const { return lastPath_; }

private:
    void Keep(BackupReason reason);

    ToolState& state_;
    LinkHost& host_;
    std::string folder_;
    std::function<std::time_t()> clock_;
    bool readSinceOpen_ = false;
    std::string lastPath_;
};

}  // namespace dt
