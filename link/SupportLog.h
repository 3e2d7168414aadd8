#pragma once
// The support log: what a technician's session did, for whoever helps them afterwards. Appended to
// $XDG_STATE_HOME/DriveTune/drivetune.log (default ~/.local/state/DriveTune/drivetune.log).
// Lines go through Qt's logging categories "drivetune.events" and "drivetune.frames"; a message
// handler writes them to the file and keeps them off standard error. Write failures are ignored.
#include <string>

namespace dt {

// The file is kept under this size; when full it becomes drivetune.log.1 (one older file kept).
constexpr long long kSupportLogCap = 1024 * 1024;
// A logged text longer than this many characters is cut (a long command line, a long text.ini message).
constexpr int kSupportLogLineMax = 4000;

// Where the log is written, as the environment says now.
std::string SupportLogPath();

// Opens the log for this program ("drivetune", "drivetune-cli") and writes the start line with
// the version. Until it is called, the other functions write nothing.
void StartSupportLog(const std::string& program);

// Stops writing and gives Qt its earlier message handler back (tests).
void StopSupportLog();

// With the trace on, every frame sent and received is logged in hex with a millisecond time.
void SetFrameTrace(bool on);
bool FrameTraceOn();

// One line of the log: a command and its outcome, a message shown, a file written.
void LogEvent(const std::string& text);

// One frame, when the trace is on; sent = true for frames to the controller.
void LogFrame(bool sent, const unsigned char* bytes, int length);

}  // namespace dt
