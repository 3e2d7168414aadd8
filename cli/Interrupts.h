#pragma once
// Ctrl+C and SIGTERM (on Windows the console's Ctrl+C, Ctrl+Break and close events) while a
// command runs. The handler sets a flag and wakes the event loop; the link asks for the flag
// before each block and store request it sends, so a write is never cut in the middle of a block
// and nothing more goes out once the flag is set.
#include <functional>
#include <memory>

namespace dt::cli {

// Installs the handlers, unless the signal is ignored (a background job keeps its shell's choice);
// a second Ctrl+C while the first is handled ends the process at once.
void CatchInterrupts();
// True once an interrupt arrived and until ClearInterrupt.
bool InterruptRequested();
// What the handler does: safe in a signal handler.
void RequestInterrupt();
void ClearInterrupt();

// Calls onInterrupt on the event loop of the thread that made it as soon as an interrupt arrives
// (a self-pipe, or on Windows an event), not at the next poll.
class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    struct Wake;
    std::unique_ptr<Wake> wake_;
};

// Platform part: wakes every watch; safe in a signal handler.
void WakeInterruptWatches();
// Platform part: forgets the wake (after ClearInterrupt).
void DrainInterruptWakes();

}  // namespace dt::cli
