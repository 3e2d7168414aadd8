#pragma once
// SIGINT, SIGTERM and SIGHUP end the simulator cleanly: the handler only raises a flag and
// wakes the main loop through a pipe, so the loop can remove its port link before leaving.
namespace sim {

// Installs the handlers; false when the wake-up pipe cannot be made.
bool InstallStopHandlers();
bool StopRequested();
// Read end of the wake-up pipe, to poll beside the terminal.
int StopWakeFd();

}  // namespace sim
