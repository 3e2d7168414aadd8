// On Windows the tool's files live under the roaming application data folder
// (%APPDATA%\DriveTune): settings, backups and the log alike. An absolute XDG variable still
// wins, so tests and portable set-ups can point them elsewhere.
#include <shlobj.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>

#include "WinText.h"
#include "XdgPaths.h"

namespace dt {

namespace {

bool IsAbsolute(const char* path) {
    if (!path || !*path) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && (path[2] == '/' || path[2] == '\\');
}

std::string AppData() {
    PWSTR folder = nullptr;
    std::string out;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) out = win::Utf8(folder);
    CoTaskMemFree(folder);
    if (out.empty()) {
        const char* env = std::getenv("APPDATA");
        out = env && *env ? env : ".";
    }
    return out;
}

}  // namespace

std::string XdgBaseDir(const char* variable, const char* /*homeRelative*/) {
    const char* xdg = std::getenv(variable);
    if (IsAbsolute(xdg)) return xdg;
    return AppData();
}

}  // namespace dt
