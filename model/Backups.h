#pragma once
// Automatic backups: every set read from a controller and every set about to be written into one
// is kept as a parameter file, so that no download and no factory reset is without a way back.
#include <ctime>
#include <string>
#include <vector>

#include "ControllerKind.h"

namespace dt {

struct ToolState;

enum class BackupReason { Read, Written };

struct BackupEntry {
    std::string path;
    std::string time;      // "2026-12-07 22:41:07", local time
    BackupReason reason = BackupReason::Read;
    ControllerKind kind = ControllerKind::Standard;  // by the file's extension
    std::string identity;  // "c1-v300-B" or "foc"
};

// $XDG_DATA_HOME/DriveTune/backups, else ~/.local/share/DriveTune/backups.
std::string DefaultBackupDir();

// "c<customer>-v<version>-<A|B>" from the last identity parse; "foc" for an FOC controller.
std::string BackupIdentity(const ToolState& s);

// The store keeps this many files and deletes the oldest beyond.
constexpr int kBackupsKept = 1000;

// Writes the bytes an Export would write as <YYYYMMDD-HHMMSS>-<read|written>-<identity>.<foc|ged>
// (a second backup within the same second gets "-2", "-3", ... before the extension), then prunes.
// True with the new file's path in `pathOrWhy`; false with the reason there.
// `kept` is how many the store keeps (the fuzzing harness uses a few).
// A set identical to the newest backup of the same controller is not written again: true with
// that backup's path, and *alreadyKept set when given.
bool SaveBackup(const ToolState& s, BackupReason reason, const std::string& dir, std::time_t now,
                std::string& pathOrWhy, int kept = kBackupsKept, bool* alreadyKept = nullptr);

// SaveBackup in two halves, so the files can be written on another thread than the one that
// holds the controller's state: what to write, taken from the state; and the writing.
struct PreparedBackup {
    BackupReason reason = BackupReason::Read;
    std::time_t now = 0;
    std::string identity;   // BackupIdentity
    const KindFacts* kind = nullptr;  // the profile's: its extension and identity bytes
    std::vector<unsigned char> bytes;
};
PreparedBackup PrepareBackup(const ToolState& s, BackupReason reason, std::time_t now);
bool StoreBackup(const PreparedBackup& b, const std::string& dir, std::string& pathOrWhy, int kept = kBackupsKept,
                 bool* alreadyKept = nullptr);

// A backup set against the values the sheet shows: the rows that differ, by grid row.
struct BackupDifference {
    int row = 0;
    std::string shown;  // in the grid
    std::string kept;   // in the backup
};
struct BackupComparison {
    bool comparable = false;
    std::string refusal;  // why not, as Import would say it
    std::vector<BackupDifference> rows;
};
// A backup of another controller (or kind, or function variant) is not compared, as Import would not take it.
BackupComparison CompareWithSheet(const ToolState& s, const std::string& path);

// Backups in `dir`, newest first. Files whose names do not follow the pattern are ignored.
std::vector<BackupEntry> ListBackups(const std::string& dir);

}  // namespace dt
