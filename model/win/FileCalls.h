#pragma once
// The Win32 calls that decide whether a write reached the disk, replaceable so that a test can
// make one fail as a full disk or a vanished drive would.
#include <windows.h>

namespace dt::win {

struct FileCalls {
    BOOL(WINAPI* write)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::WriteFile;
    BOOL(WINAPI* flush)(HANDLE) = ::FlushFileBuffers;
};

// The calls in use; tests swap them and put them back.
FileCalls& ActiveFileCalls();

}  // namespace dt::win
