#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

#include "Interrupts.h"

namespace dt::cli {

namespace {

// The self-pipe: the handler writes a byte, the event loop sees the read end ready.
std::atomic<int> gWakeRead{-1};
std::atomic<int> gWakeWrite{-1};

void EnsureWakePipe() {
    if (gWakeRead.load() >= 0) return;
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    gWakeWrite.store(fds[1]);
    gWakeRead.store(fds[0]);
}

extern "C" void OnInterruptSignal(int) {
    const int saved = errno;
    RequestInterrupt();
    errno = saved;
}

void Catch(int signal) {
    struct sigaction now {};
    // A job started in the background with the signal ignored stays out of the terminal's Ctrl+C.
    if (sigaction(signal, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = OnInterruptSignal;
    sigemptyset(&action.sa_mask);
    // Once: a second Ctrl+C while a block is still in flight ends the process as usual.
    action.sa_flags = SA_RESETHAND;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void CatchInterrupts() {
    EnsureWakePipe();
    Catch(SIGINT);
    Catch(SIGTERM);
}

void WakeInterruptWatches() {
    const int fd = gWakeWrite.load();
    if (fd < 0) return;
    const char byte = 1;
    // A full pipe already holds a wake.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
}

void DrainInterruptWakes() {
    const int fd = gWakeRead.load();
    if (fd < 0) return;
    char bytes[64];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
}

struct InterruptWatch::Wake {
    std::unique_ptr<QSocketNotifier> notifier;
};

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : wake_(std::make_unique<Wake>()) {
    EnsureWakePipe();
    if (gWakeRead.load() < 0) return;
    wake_->notifier = std::make_unique<QSocketNotifier>(gWakeRead.load(), QSocketNotifier::Read);
    QSocketNotifier* notifier = wake_->notifier.get();
    // Once per watch: the wake stays set for every other watch until ClearInterrupt.
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier, call = std::move(onInterrupt)] {
        notifier->setEnabled(false);
        call();
    });
}

InterruptWatch::~InterruptWatch() = default;

}  // namespace dt::cli
