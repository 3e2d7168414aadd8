#include <windows.h>

#include <QWinEventNotifier>

#include "Interrupts.h"

namespace dt::cli {

namespace {

// Set by the console's handler thread, waited on by the event loop.
HANDLE WakeEvent() {
    static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

// Runs on a thread of its own that the console starts; it only sets the flag. Closing the console
// is not caught: the system ends the process as soon as a handler returns from that event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            if (InterruptRequested()) return FALSE;  // the second one ends the process
            RequestInterrupt();
            return TRUE;
        default:
            return FALSE;
    }
}
}  // namespace

void CatchInterrupts() {
    WakeEvent();
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void WakeInterruptWatches() { ::SetEvent(WakeEvent()); }
void DrainInterruptWakes() { ::ResetEvent(WakeEvent()); }

struct InterruptWatch::Wake {
    std::unique_ptr<QWinEventNotifier> notifier;
};

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : wake_(std::make_unique<Wake>()) {
    if (!WakeEvent()) return;
    wake_->notifier = std::make_unique<QWinEventNotifier>(WakeEvent());
    QWinEventNotifier* notifier = wake_->notifier.get();
    // Once per watch: the wake stays set for every other watch until ClearInterrupt.
    QObject::connect(notifier, &QWinEventNotifier::activated, [notifier, call = std::move(onInterrupt)] {
        notifier->setEnabled(false);
        call();
    });
}

InterruptWatch::~InterruptWatch() = default;

}  // namespace dt::cli
