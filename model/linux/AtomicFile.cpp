#include "AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

namespace dt {

namespace {

std::string Reason(int error) { return std::strerror(error); }

const char* const kTemporaryPrefix = ".dt-";
// A write takes well under this; a temporary file older than it was left by a killed run.
constexpr time_t kStaleTemporarySeconds = 60;

// A device, a FIFO or a socket named like a file: reading it could block or never end.
const char* const kNotARegularFile = "Not a regular file";

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

std::string RandomSuffix() {
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device device;
    std::string suffix;
    for (int i = 0; i < 10; ++i) suffix += kDigits[device() % 36];
    return suffix;
}

// A temporary file of a run that was killed before it could remove it: ours by its name and owner,
// and old enough that no running write can still be using it.
bool StaleTemporary(int dir, const char* name, time_t now) {
    const size_t length = std::strlen(name);
    if (std::strncmp(name, kTemporaryPrefix, std::strlen(kTemporaryPrefix)) != 0 || length < 4 ||
        std::strcmp(name + length - 4, ".tmp") != 0)
        return false;
    struct stat info {};
    if (::fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) return false;
    return info.st_uid == ::getuid() && now - info.st_mtime > kStaleTemporarySeconds;
}

void RemoveStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir))
        if (StaleTemporary(::dirfd(dir), entry->d_name, now)) ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::closedir(dir);
}

// A short temporary name in the target's folder, so a target name of the full 255 bytes can still
// be written. A replaced file keeps its mode; a new one is created 0666 so the umask decides who
// may read it, as for any file a program creates.
int OpenTemporary(const std::string& path, std::string& tmp, int& error) {
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode)) {
        error = EISDIR;
        return -1;
    }
    const std::string folder = FolderOf(path);
    RemoveStaleTemporaries(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp = folder + "/" + kTemporaryPrefix + RandomSuffix() + ".tmp";
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists) ::fchmod(fd, target.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST) break;
    }
    error = errno;
    return -1;
}

void SyncFolder(const std::string& path) {
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Puts the finished temporary file in place: over the target, or only where no file is.
bool Place(const std::string& tmp, const std::string& path, bool replace, int& error) {
    if (replace) {
        if (::rename(tmp.c_str(), path.c_str()) == 0) return true;
        error = errno;
        return false;
    }
    if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) {
        error = errno;
        return false;
    }
    // A file system without the no-replace rename: a hard link fails as well when the name is taken.
    if (::link(tmp.c_str(), path.c_str()) != 0) {
        error = errno;
        return false;
    }
    ::unlink(tmp.c_str());
    return true;
}

bool WriteAndPlace(const std::string& path, const std::vector<unsigned char>& bytes, bool replace,
                   int& error) {
    std::string tmp;
    const int fd = OpenTemporary(path, tmp, error);
    if (fd < 0) return false;
    // Every step is checked: a write cut short by a full disk must never replace the old file.
    bool ok = WriteAll(fd, bytes.data(), bytes.size(), error);
    if (ok && ::fsync(fd) != 0) ok = false, error = errno;
    if (::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok) ok = Place(tmp, path, replace, error);
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    // The new name itself reaches the disk with the folder.
    SyncFolder(path);
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why) {
    int error = 0;
    if (WriteAndPlace(path, bytes, true, error)) return true;
    why = Reason(error);
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why) {
    return WriteFileAtomically(path, std::vector<unsigned char>(text.begin(), text.end()), why);
}

bool WriteNewFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why,
                            bool& nameTaken) {
    int error = 0;
    nameTaken = false;
    if (WriteAndPlace(path, bytes, false, error)) return true;
    nameTaken = error == EEXIST;
    why = Reason(error);
    return false;
}

bool ReadFileChecked(const std::string& path, std::vector<unsigned char>& out, std::string& why, size_t limit) {
    // Not blocking on open: a FIFO must be refused, not waited on for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = Reason(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? Reason(EISDIR) : kNotARegularFile;
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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
