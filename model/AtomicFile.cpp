#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace dt {

namespace {

std::string Reason(int error) { return std::strerror(error); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const unsigned char* data, size_t size, int& error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A temporary file beside the target; its mode follows the target's when there is one.
int OpenTemporary(const std::string& path, std::string& tmp, int& error) {
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode)) {
        error = EISDIR;
        return -1;
    }
    tmp = path + ".XXXXXX";
    int fd = ::mkstemp(&tmp[0]);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    ::fchmod(fd, exists ? (target.st_mode & 07777) : 0644);
    return fd;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why) {
    std::string tmp;
    int error = 0;
    const int fd = OpenTemporary(path, tmp, error);
    if (fd < 0) {
        why = Reason(error);
        return false;
    }
    // Every step is checked: a write cut short by a full disk must never replace the old file.
    bool ok = WriteAll(fd, bytes.data(), bytes.size(), error);
    if (ok && ::fsync(fd) != 0) ok = false, error = errno;
    if (::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        ::unlink(tmp.c_str());
        why = Reason(error);
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why) {
    return WriteFileAtomically(path, std::vector<unsigned char>(text.begin(), text.end()), why);
}

bool ReadFileChecked(const std::string& path, std::vector<unsigned char>& out, std::string& why, size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        why = Reason(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        why = Reason(EISDIR);
        return false;
    }
    out.clear();
    unsigned char buffer[65536];
    while (out.size() < limit) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - out.size()));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            why = Reason(errno);
            ::close(fd);
            return false;
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    ::close(fd);
    return true;
}

bool MakeDirectories(const std::string& dir, std::string& why) {
    if (dir.empty()) return true;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        const std::string part = dir.substr(0, pos);
        if (part.empty() || ::mkdir(part.c_str(), 0755) == 0 || errno == EEXIST) continue;
        why = Reason(errno);
        return false;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        why = Reason(ENOTDIR);
        return false;
    }
    return true;
}

}  // namespace dt
