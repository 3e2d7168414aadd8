#include "PortBinding.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "Settings.h"

namespace sim {

namespace {

bool MakeFolders(const std::string& path, std::string& error) {
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            error = partial + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = path + ": not a folder";
        return false;
    }
    return true;
}

std::string LinkTarget(const std::string& link) {
    char buffer[4096];
    ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return {};
    return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace

std::string SettingsFolder() {
    // The same folder the tool reads its settings and port links from.
    return dt::SettingsFolder(dt::DefaultSettingsPath());
}

bool ParseComNumber(const std::string& text, int& number) {
    std::string digits = text;
    if (digits.size() > 3 && (digits[0] == 'C' || digits[0] == 'c') && (digits[1] == 'O' || digits[1] == 'o') &&
        (digits[2] == 'M' || digits[2] == 'm'))
        digits = digits.substr(3);
    if (digits.empty() || digits.size() > 4) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    number = std::atoi(digits.c_str());
    return number >= 1 && number <= 1024;
}

bool PortBinding::Create(const std::string& folder, int comNumber, const std::string& target, std::string& error) {
    Remove();
    std::string ports = folder + "/ports";
    if (!MakeFolders(ports, error)) return false;
    std::string link = ports + "/com" + std::to_string(comNumber);

    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = link + " exists and is not a link; it is left as it is";
        return false;
    }
    // A fresh link renamed over the old one: a client never finds the name missing.
    std::string temp = link + ".new" + std::to_string(getpid());
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0) {
        error = temp + ": " + std::strerror(errno);
        return false;
    }
    if (rename(temp.c_str(), link.c_str()) != 0) {
        error = link + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    linkPath_ = link;
    target_ = target;
    return true;
}

void PortBinding::Remove() {
    if (linkPath_.empty()) return;
    if (LinkTarget(linkPath_) == target_) unlink(linkPath_.c_str());
    linkPath_.clear();
    target_.clear();
}

}  // namespace sim
