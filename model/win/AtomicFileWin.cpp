// Atomic writes on Windows: a temporary file beside the target, written through and flushed,
// then put in the target's place by ReplaceFile (which keeps the target's attributes) or, for a
// new file, MoveFileEx. Paths are UTF-8 and may use either slash.
#include <windows.h>

#include <random>

#include "AtomicFile.h"
#include "FileCalls.h"
#include "WinText.h"

namespace dt {

namespace win {
FileCalls& ActiveFileCalls() {
    static FileCalls calls;
    return calls;
}
}  // namespace win

namespace {

using win::ErrorText;
using win::Wide;

constexpr DWORD kChunk = 1 << 20;
// Windows refuses a folder opened as a file with "Access is denied", which misleads.
const char* const kIsFolder = "Is a folder";

// The tool's paths may use either slash; some calls (ReplaceFile under Wine) take only '\\'.
std::wstring NativePath(const std::string& path) {
    std::wstring wide = Wide(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return wide;
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// Temporary files of a killed run, older than a minute (a write in progress holds its own open,
// unshared, so it could not be removed anyway).
void RemoveStaleTemporaries(const std::wstring& folder) {
    constexpr ULONGLONG kStale = 60ull * 10000000ull;  // in the 100 ns steps of FILETIME
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\.dt-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ticks(now) - ticks(found.ftLastWriteTime) > kStale)
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new file beside the target that no other writer has: CREATE_NEW fails when the name is taken.
// The name is short, so a target whose path is near the length limit can still be written.
HANDLE CreateTemporary(const std::wstring& target, std::wstring& tmp) {
    std::random_device seed;
    std::mt19937 pick(seed());
    RemoveStaleTemporaries(FolderOf(target));
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp = FolderOf(target) + L"\\.dt-" + std::to_wstring(pick() % 1000000u) + L".tmp";
        HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE h, const unsigned char* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size < kChunk ? DWORD(size) : kChunk;
        if (!win::ActiveFileCalls().write(h, data, chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// The temporary file takes the target's place. A ReplaceFile that removed the target and then
// could not rename the replacement is finished by a move, so the target is never left missing.
bool PutInPlace(const std::wstring& tmp, const std::wstring& target) {
    const DWORD move = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!Exists(target)) return MoveFileExW(tmp.c_str(), target.c_str(), move);
    if (ReplaceFileW(target.c_str(), tmp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        return MoveFileExW(tmp.c_str(), target.c_str(), move);
    SetLastError(error);
    return false;
}

// Writes the temporary file and puts it in place: over the target, or only where no file is.
bool WriteAndPlace(const std::wstring& target, const std::vector<unsigned char>& bytes, bool replace, DWORD& error) {
    std::wstring tmp;
    HANDLE h = CreateTemporary(target, tmp);
    if (h == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    // Every step is checked: a write cut short by a full disk must never replace the old file.
    bool ok = WriteAll(h, bytes.data(), bytes.size()) && win::ActiveFileCalls().flush(h);
    error = ok ? 0 : GetLastError();
    if (!CloseHandle(h) && ok) ok = false, error = GetLastError();
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    const bool placed = ok && (replace ? PutInPlace(tmp, target)
                                       : MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH));
    if (ok && !placed) ok = false, error = GetLastError();
    if (!ok) DeleteFileW(tmp.c_str());
    return ok;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why) {
    const std::wstring target = NativePath(path);
    if (IsFolder(target)) {
        why = kIsFolder;
        return false;
    }
    DWORD error = 0;
    if (WriteAndPlace(target, bytes, true, error)) return true;
    why = ErrorText(error);
    return false;
}

bool WriteNewFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why,
                            bool& nameTaken) {
    const std::wstring target = NativePath(path);
    DWORD error = 0;
    nameTaken = false;
    if (WriteAndPlace(target, bytes, false, error)) return true;
    nameTaken = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    why = ErrorText(error);
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why) {
    return WriteFileAtomically(path, std::vector<unsigned char>(text.begin(), text.end()), why);
}

bool ReadFileChecked(const std::string& path, std::vector<unsigned char>& out, std::string& why, size_t limit) {
    const std::wstring name = NativePath(path);
    if (IsFolder(name)) {
        why = kIsFolder;
        return false;
    }
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        why = ErrorText(GetLastError());
        return false;
    }
    // A device (CON, NUL, a COM port) or a pipe could block or never end.
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        why = "Not a regular file";
        return false;
    }
    out.clear();
    unsigned char buffer[65536];
    while (out.size() < limit) {
        DWORD n = 0;
        const size_t want = limit - out.size() < sizeof buffer ? limit - out.size() : sizeof buffer;
        if (!ReadFile(h, buffer, DWORD(want), &n, nullptr)) {
            why = ErrorText(GetLastError());
            CloseHandle(h);
            return false;
        }
        if (n == 0) break;
        out.insert(out.end(), buffer, buffer + n);
    }
    CloseHandle(h);
    return true;
}

bool MakeDirectories(const std::string& dir, std::string& why) {
    if (dir.empty()) return true;
    const std::wstring wide = NativePath(dir);
    // Each prefix that ends before a slash, so "C:/a/b" makes C:/a, then C:/a/b.
    for (size_t pos = wide.find_first_of(L"/\\", 1);; pos = wide.find_first_of(L"/\\", pos + 1)) {
        const std::wstring part = wide.substr(0, pos);
        const bool drive = part.size() == 2 && part[1] == L':';
        if (!part.empty() && !drive && !CreateDirectoryW(part.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
                why = ErrorText(error);
                return false;
            }
        }
        if (pos == std::wstring::npos) break;
    }
    if (!IsFolder(wide)) {
        why = ErrorText(Exists(wide) ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

}  // namespace dt
