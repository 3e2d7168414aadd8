#include <windows.h>

#include "Interrupts.h"

namespace dt::cli {

namespace {
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

void CatchInterrupts() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

}  // namespace dt::cli
