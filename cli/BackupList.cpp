// The backups command: what the automatic backups hold, newest first.
#include "Backups.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "Json.h"
#include "Sheet.h"

namespace dt::cli {

namespace {

const char* ReasonName(BackupReason r) { return r == BackupReason::Read ? "read" : "written"; }
const char* KindName(const BackupEntry& e) { return ProfileOfKind(e.kind).KindName(); }

}  // namespace

int RunBackupRestore(const Context& c) {
    if (c.opt.files.size() != 2 || c.opt.files[0] != "restore") {
        c.err << "drivetune-cli: backups takes no operands, or restore N|PATH\n"
                 "Try 'drivetune-cli backups --help' for more information.\n";
        return kUsage;
    }
    const std::string& which = c.opt.files[1];
    std::string path = which;
    if (!which.empty() && which.find_first_not_of("0123456789") == std::string::npos) {
        const std::vector<BackupEntry> entries = ListBackups(DefaultBackupDir());
        const size_t n = which.size() > 6 ? 0 : std::stoul(which);
        if (n < 1 || n > entries.size()) {
            c.err << "drivetune-cli: there is no backup " << which << " (" << entries.size() << " kept)\n";
            return kUsage;
        }
        path = entries[n - 1].path;
    }
    if (!c.opt.quiet) c.err << "drivetune-cli: restoring " << path << "\n";
    CliOptions download = c.opt;
    download.files = {path};
    return RunDownload(Context{download, c.out, c.err, c.textIniPath, c.in, c.progress});
}

int RunBackups(const Context& c) {
    if (!c.opt.files.empty()) return RunBackupRestore(c);
    const std::string folder = DefaultBackupDir();
    const std::vector<BackupEntry> entries = ListBackups(folder);
    if (c.opt.json) {
        Json list = Json::array();
        for (const BackupEntry& e : entries)
            list.push_back({{"time", e.time}, {"reason", ReasonName(e.reason)}, {"kind", KindName(e)},
                            {"identity", e.identity}, {"path", e.path},
                            {"number", static_cast<int>(list.size()) + 1}});
        Json document = Document();
        document["folder"] = folder;
        document["backups"] = std::move(list);
        PrintJson(c.out, document);
        return kOk;
    }
    size_t identityWidth = 0;
    for (const BackupEntry& e : entries) identityWidth = std::max(identityWidth, e.identity.size());
    for (const BackupEntry& e : entries) {
        const std::string reason = ReasonName(e.reason), kind = KindName(e);
        c.out << e.time << "  " << reason << std::string(7 - reason.size(), ' ') << "  " << kind
              << std::string(8 - kind.size(), ' ') << "  " << e.identity
              << std::string(identityWidth - e.identity.size(), ' ') << "  " << e.path << "\n";
    }
    if (entries.empty() && !c.opt.quiet) c.err << "drivetune-cli: no backups in " << folder << "\n";
    return kOk;
}

}  // namespace dt::cli
