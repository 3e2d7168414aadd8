#pragma once
// Ctrl+C and SIGTERM (on Windows the console's Ctrl+C, Ctrl+Break and close events) while a
// command runs. The handler only sets a flag; the command looks at it between replies, so a
// write is never cut in the middle of a block.
namespace dt::cli {

// Installs the handlers; a second Ctrl+C while the first is handled ends the process at once.
void CatchInterrupts();
// True once an interrupt arrived and until ClearInterrupt.
bool InterruptRequested();
// What the handler does: safe in a signal handler.
void RequestInterrupt();
void ClearInterrupt();

}  // namespace dt::cli
