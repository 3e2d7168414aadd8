#pragma once
// The support log: what a technician's session did, for whoever helps them afterwards. Appended to
// $XDG_STATE_HOME/DriveTune/drivetune.log (default ~/.local/state/DriveTune/drivetune.log).
#include <string>

namespace dt {

// Opens the log for this program ("drivetune", "drivetune-cli") and writes the start line with
// the version. Until it is called, the other functions write nothing.
void StartSupportLog(const std::string& program);

// With the trace on, every frame sent and received is logged in hex with a millisecond time.
void SetFrameTrace(bool on);

// One line of the log: a command and its outcome, a message shown, a file written.
void LogEvent(const std::string& text);

// One frame, when the trace is on; sent = true for frames to the controller.
void LogFrame(bool sent, const unsigned char* bytes, int length);

}  // namespace dt
