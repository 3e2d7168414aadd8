#include <windows.h>

#include "Terminal.h"

namespace dt::cli {

namespace {
HANDLE Handle(Stream stream) {
    if (stream == Stream::In) return ::GetStdHandle(STD_INPUT_HANDLE);
    return ::GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}
}  // namespace

bool IsTerminal(Stream stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(Handle(stream), &mode) != 0;
}

int TerminalColumns(Stream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(Handle(stream), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

// Windows gives a process without a stream an invalid handle, whose writes fail: nothing to do.
void GuardStandardStreams() {}

}  // namespace dt::cli
