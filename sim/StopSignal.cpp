#include "StopSignal.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace sim {

namespace {

volatile std::sig_atomic_t stopFlag = 0;
int wakePipe[2] = {-1, -1};

void OnStopSignal(int) {
    stopFlag = 1;
    if (wakePipe[1] >= 0) {
        char byte = 1;
        ssize_t ignored = write(wakePipe[1], &byte, 1);
        (void)ignored;
    }
}

}  // namespace

bool InstallStopHandlers() {
    if (wakePipe[0] < 0) {
        if (pipe(wakePipe) != 0) return false;
        for (int fd : wakePipe) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked write or poll returns to the loop
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);  // a closed standard output must not kill the controller
    return true;
}

bool StopRequested() { return stopFlag != 0; }

int StopWakeFd() { return wakePipe[0]; }

}  // namespace sim
