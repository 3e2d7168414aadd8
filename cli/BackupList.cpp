// The backups command: what the automatic backups hold, newest first.
#include "Backups.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "Json.h"
#include "Sheet.h"

namespace dt::cli {

namespace {

const char* ReasonName(BackupReason r) { return r == BackupReason::Read ? "read" : "written"; }
const char* KindName(const BackupEntry& e) { return e.foc ? "foc" : "standard"; }

}  // namespace

int RunBackups(const Context& c) {
    const std::string folder = DefaultBackupDir();
    const std::vector<BackupEntry> entries = ListBackups(folder);
    if (c.opt.json) {
        Json list = Json::array();
        for (const BackupEntry& e : entries)
            list.push_back({{"time", e.time}, {"reason", ReasonName(e.reason)}, {"kind", KindName(e)},
                            {"identity", e.identity}, {"path", e.path}});
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
