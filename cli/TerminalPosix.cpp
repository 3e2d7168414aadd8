#include <sys/ioctl.h>
#include <unistd.h>

#include "Terminal.h"

namespace dt::cli {

namespace {
int Descriptor(Stream stream) { return stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO; }
}  // namespace

bool IsTerminal(Stream stream) { return ::isatty(Descriptor(stream)) == 1; }

int TerminalColumns(Stream stream) {
    winsize size{};
    if (!IsTerminal(stream) || ::ioctl(Descriptor(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

}  // namespace dt::cli
