#include <atomic>

#include "Interrupts.h"

namespace dt::cli {

namespace {
// Set from a signal handler (or the console's handler thread on Windows): lock-free only.
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
}  // namespace

bool InterruptRequested() { return gInterrupted.load(); }

void RequestInterrupt() {
    gInterrupted.store(true);
    WakeInterruptWatches();
}

void ClearInterrupt() {
    gInterrupted.store(false);
    DrainInterruptWakes();
}

}  // namespace dt::cli
