#include <csignal>

#include "Interrupts.h"

namespace dt::cli {

namespace {
extern "C" void OnInterruptSignal(int) { RequestInterrupt(); }
}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnInterruptSignal;
    sigemptyset(&action.sa_mask);
    // Once: a second Ctrl+C while a block is still in flight ends the process as usual.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace dt::cli
