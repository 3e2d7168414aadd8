// The backup store after any names and any clock: a folder holding names that look like backups
// (valid or not, stamped in the past or the future), then one backup saved at a clock from the
// input. The backup just written must be on disk and listed, the store must keep no more than it
// may, and every listed entry must name a file of the folder.
//
// Input: a byte of how many the store keeps (1..8), four bytes of clock, then names separated
// by newlines.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Backups.h"
#include "FuzzSupport.h"
#include "ToolState.h"

using namespace dt;
using namespace dt::fuzz;

namespace fs = std::filesystem;

namespace {

// tmpfs when there is one: a folder per process, emptied before each input.
std::string Folder() {
    const std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    return base + "/dt-fuzz-backups-" + std::to_string(::getpid());
}

std::string SafeName(const std::string& raw) {
    std::string name;
    for (char c : raw)
        if (c != '/' && c != '\0') name += c;
    return name == "." || name == ".." ? std::string() : name.substr(0, 200);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ToolState standard = [] {
        ToolState s;
        s.modelWord = 0x0400 | 300;
        return s;
    }();
    static const std::string folder = Folder();
    if (size < 5) return 0;
    const int kept = 1 + data[0] % 8;
    const std::time_t now = static_cast<std::time_t>(data[1] | data[2] << 8 | data[3] << 16 | uint32_t(data[4]) << 24);
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    const std::string names(reinterpret_cast<const char*>(data + 5), size - 5);
    size_t from = 0;
    while (from <= names.size()) {
        const size_t end = std::min(names.find('\n', from), names.size());
        const std::string name = SafeName(names.substr(from, end - from));
        if (!name.empty()) std::ofstream(folder + "/" + name) << "x";
        from = end + 1;
    }

    std::string path;
    if (!SaveBackup(standard, BackupReason::Read, folder, now, path, kept)) return 0;  // e.g. a folder in the way
    Require(fs::is_regular_file(path), "the backup just written is gone");
    const std::vector<BackupEntry> list = ListBackups(folder);
    Require(static_cast<int>(list.size()) <= kept, "more backups kept than the store may keep");
    bool listed = false;
    for (const BackupEntry& e : list) {
        Require(fs::is_regular_file(e.path), "a listed backup is no file");
        listed = listed || fs::path(e.path).filename() == fs::path(path).filename();
    }
    Require(listed, "the backup just written is not listed");
    return 0;
}
