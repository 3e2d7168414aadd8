#include "Backups.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

#include "AtomicFile.h"
#include "ControllerProfile.h"
#include "GridPasses.h"
#include "ParameterFiles.h"
#include "ToolState.h"
#include "ValueCodec.h"
#include "XdgPaths.h"

namespace dt {

namespace fs = std::filesystem;

namespace {

const char* const kRead = "read";
const char* const kWritten = "written";
// Names tried within one second before giving up (the sequence number has at most six digits).
constexpr int kSameSecondNames = 999999;

struct ParsedName {
    std::string stamp;  // YYYYMMDD-HHMMSS
    int sequence = 1;
    fs::file_time_type modified;  // orders backups made within the same second
    BackupEntry entry;
};

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "<YYYYMMDD-HHMMSS>-<read|written>-<identity>[-<n>].<foc|ged>"
bool ParseName(const std::string& name, ParsedName& out) {
    if (name.size() < 20 || name[8] != '-' || name[15] != '-') return false;
    if (!AllDigits(name.substr(0, 8)) || !AllDigits(name.substr(9, 6))) return false;
    const size_t dot = name.rfind('.');
    const ControllerProfile* file = ProfileOfFile(name);
    if (!file) return false;
    std::string rest = name.substr(16, dot - 16);
    for (const char* reason : {kRead, kWritten}) {
        const std::string prefix = std::string(reason) + "-";
        if (rest.compare(0, prefix.size(), prefix) != 0) continue;
        out.entry.reason = reason == kRead ? BackupReason::Read : BackupReason::Written;
        rest = rest.substr(prefix.size());
        // An identity never ends in a digit, so a trailing "-<n>" is the sequence number.
        const size_t dash = rest.rfind('-');
        if (dash != std::string::npos && AllDigits(rest.substr(dash + 1)) && rest.size() - dash <= 7) {
            out.sequence = std::atoi(rest.c_str() + dash + 1);
            rest = rest.substr(0, dash);
        }
        if (rest.empty()) return false;
        out.stamp = name.substr(0, 15);
        out.entry.identity = rest;
        out.entry.kind = file->Kind();
        out.entry.time = name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " +
                         name.substr(9, 2) + ":" + name.substr(11, 2) + ":" + name.substr(13, 2);
        return true;
    }
    return false;
}

std::vector<ParsedName> Scan(const std::string& dir) {
    std::vector<ParsedName> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        ParsedName p;
        if (!it->is_regular_file(ec) || !ParseName(it->path().filename().string(), p)) continue;
        // Named as the tool names a backup it writes, whatever separator the listing uses.
        p.entry.path = dir + "/" + it->path().filename().string();
        p.modified = it->last_write_time(ec);
        found.push_back(p);
    }
    std::sort(found.begin(), found.end(), [](const ParsedName& a, const ParsedName& b) {
        if (a.stamp != b.stamp) return a.stamp > b.stamp;
        if (a.modified != b.modified) return a.modified > b.modified;
        return a.sequence > b.sequence;
    });
    return found;
}

// The file just written is kept whatever its name says: after a clock that was once ahead, the
// folder may hold a thousand names that sort after it. `others` is the folder as scanned before.
void Prune(std::vector<ParsedName> others, const std::string& justWritten, int kept) {
    const fs::path newest = fs::path(justWritten).filename();
    others.erase(std::remove_if(others.begin(), others.end(),
                                [&](const ParsedName& p) { return fs::path(p.entry.path).filename() == newest; }),
                 others.end());
    std::error_code ec;
    for (size_t i = static_cast<size_t>(std::max(kept - 1, 0)); i < others.size(); ++i) fs::remove(others[i].entry.path, ec);
}

std::string Stamp(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The identity bytes of backups already read, by path and time written: a backup never changes
// once written, and a batch of one model would otherwise read every backup of the model again
// for each new one. Shared by the threads that write backups.
class LeadingBytesCache {
public:
    bool Get(const ParsedName& p, size_t idBytes, std::vector<unsigned char>& out) {
        const std::string key = p.entry.path + "@" + std::to_string(p.modified.time_since_epoch().count());
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const auto it = bytes_.find(key);
            if (it != bytes_.end()) return out = it->second, true;
        }
        std::vector<unsigned char> kept;
        if (!ReadParameterFile(p.entry.path, kept)) return false;
        out.assign(kept.begin(), kept.begin() + std::min(kept.size(), idBytes));
        std::lock_guard<std::mutex> lock(mutex_);
        // Pruned files leave their entries behind: start afresh now and then.
        if (bytes_.size() >= kEntries) bytes_.clear();
        bytes_[key] = out;
        return true;
    }

private:
    static constexpr size_t kEntries = 4 * kBackupsKept;
    std::mutex mutex_;
    std::map<std::string, std::vector<unsigned char>> bytes_;
};

// The newest backup of this controller in `found`, when it holds exactly `bytes`; "" otherwise.
std::string NewestIdenticalBackup(const std::vector<ParsedName>& found, const std::string& identity,
                                  const KindFacts& kind, const std::vector<unsigned char>& bytes) {
    static LeadingBytesCache leading;
    const size_t idBytes = kind.identityBytes;
    for (const ParsedName& p : found) {
        if (p.entry.identity != identity || p.entry.kind != kind.kind) continue;
        std::vector<unsigned char> head;
        if (idBytes > 0 && !leading.Get(p, idBytes, head)) continue;
        const bool sameController =
            idBytes == 0 || (head.size() >= idBytes && bytes.size() >= idBytes &&
                             std::equal(bytes.begin(), bytes.begin() + idBytes, head.begin()));
        if (!sameController) continue;
        std::vector<unsigned char> kept;
        if (!ReadParameterFile(p.entry.path, kept)) continue;
        return kept == bytes ? p.entry.path : std::string();
    }
    return std::string();
}

// The first sequence number no backup of `found` has taken for this second, reason and
// controller: a batch of one model read within one second writes each file once, not once per
// name already taken.
int FirstFreeSequence(const std::vector<ParsedName>& found, const std::string& stamp, const PreparedBackup& b) {
    int last = 0;
    for (const ParsedName& p : found)
        if (p.stamp == stamp && p.entry.reason == b.reason && p.entry.identity == b.identity && p.entry.kind == b.kind->kind)
            last = std::max(last, p.sequence);
    return last + 1;
}

// The sequence numbers this process has handed out, by name: threads writing backups of one
// second each take the next, instead of all taking the one their scans found free.
int TakeSequence(const std::string& base, int free) {
    constexpr size_t kNamesRemembered = 256;
    static std::mutex mutex;
    static std::map<std::string, int> last;
    std::lock_guard<std::mutex> lock(mutex);
    if (last.size() >= kNamesRemembered) last.clear();
    int& n = last[base];
    n = std::max(n + 1, free);
    return n;
}

}  // namespace

std::string DefaultBackupDir() {
    return XdgBaseDir("XDG_DATA_HOME", ".local/share") + "/DriveTune/backups";
}

std::string BackupIdentity(const ToolState& s) {
    const ControllerProfile& profile = ProfileOf(s);
    const std::string variant = profile.Variant(s);
    if (variant.empty()) return profile.KindName();
    const int customer = s.modelWord == kNoModelWord ? 0 : s.modelWord >> 10;
    const int version = s.modelWord == kNoModelWord ? 0 : s.modelWord & 0x3FF;
    return "c" + std::to_string(customer) + "-v" + std::to_string(version) + "-" +
           variant;
}

PreparedBackup PrepareBackup(const ToolState& s, BackupReason reason, std::time_t now) {
    PreparedBackup b;
    b.reason = reason;
    b.now = now;
    b.identity = BackupIdentity(s);
    b.kind = &ProfileOf(s).Facts();
    b.bytes = ExportBytes(s);
    return b;
}

bool StoreBackup(const PreparedBackup& b, const std::string& dir, std::string& pathOrWhy, int kept, bool* alreadyKept) {
    if (alreadyKept) *alreadyKept = false;
    if (!MakeDirectories(dir, pathOrWhy)) {
        pathOrWhy = dir + ": " + pathOrWhy;
        return false;
    }
    const std::string stamp = Stamp(b.now);
    const std::string base = dir + "/" + stamp + "-" + (b.reason == BackupReason::Read ? kRead : kWritten) + "-" + b.identity;
    const std::string ext = std::string(".") + b.kind->extension;
    const std::vector<ParsedName> found = Scan(dir);
    const std::string same = NewestIdenticalBackup(found, b.identity, *b.kind, b.bytes);
    if (!same.empty()) {
        pathOrWhy = same;
        if (alreadyKept) *alreadyKept = true;
        return true;
    }
    // A second backup within the same second, from this process or another, never replaces the
    // first: each name is taken exclusively.
    std::string path;
    for (int n = TakeSequence(base + ext, FirstFreeSequence(found, stamp, b));; n = TakeSequence(base + ext, n + 1)) {
        path = n == 1 ? base + ext : base + "-" + std::to_string(n) + ext;
        std::string why;
        bool taken = false;
        if (WriteNewFileAtomically(path, b.bytes, why, taken)) break;
        if (!taken || n >= kSameSecondNames) {
            pathOrWhy = path + ": " + why;
            return false;
        }
    }
    Prune(found, path, kept);
    pathOrWhy = path;
    return true;
}

bool SaveBackup(const ToolState& s, BackupReason reason, const std::string& dir, std::time_t now,
                std::string& pathOrWhy, int kept, bool* alreadyKept) {
    return StoreBackup(PrepareBackup(s, reason, now), dir, pathOrWhy, kept, alreadyKept);
}

BackupComparison CompareWithSheet(const ToolState& s, const std::string& path) {
    BackupComparison out;
    std::vector<unsigned char> bytes;
    const ControllerProfile* file = ProfileOfFile(path);
    if (!ReadParameterFile(path, bytes)) {
        out.refusal = s.Message(MSG_IMPORT_OPEN_FAILED);
        return out;
    }
    ToolState kept = s;
    const ImportOutcome imported = ImportBytes(kept, file, bytes);
    const bool sameKind = file && file->Kind() == s.kind;
    if (!imported.accepted || !sameKind || s.sheet.Kind() != s.kind) {
        out.refusal = s.Message(sameKind ? imported.message : MSG_IMPORT_MISMATCH);
        if (!imported.detail.empty()) out.refusal += "\n" + imported.detail;
        return out;
    }
    out.comparable = true;
    const ValueCells cells = ShowValues(kept);
    const std::vector<GridRow> layout = GridLayout(s);
    for (size_t row = 0; row < layout.size() && row < cells.size(); ++row) {
        if (layout[row].record == 0 || layout[row].desc->kind == 0) continue;
        const int r = static_cast<int>(row);
        const std::string held = TrimLeft(cells[row]);
        if (held != s.sheet.Text(r)) out.rows.push_back({r, s.sheet.Text(r), held});
    }
    return out;
}

std::vector<BackupEntry> ListBackups(const std::string& dir) {
    std::vector<BackupEntry> out;
    for (const ParsedName& p : Scan(dir)) out.push_back(p.entry);
    return out;
}

}  // namespace dt
