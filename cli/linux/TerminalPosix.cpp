#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <initializer_list>

#include "Terminal.h"

namespace dt::cli {

namespace {
int Descriptor(Stream stream) {
    if (stream == Stream::In) return STDIN_FILENO;
    return stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO;
}
}  // namespace

bool IsTerminal(Stream stream) { return ::isatty(Descriptor(stream)) == 1; }

int TerminalColumns(Stream stream) {
    winsize size{};
    if (!IsTerminal(stream) || ::ioctl(Descriptor(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void GuardStandardStreams() {
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1) continue;
        // Read-only /dev/null: writes fail with EBADF, as they would on the closed stream.
        const int held = ::open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

}  // namespace dt::cli
