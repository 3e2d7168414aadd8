#include "SupportLog.h"

namespace dt {

// Placeholders until the log is written.
void StartSupportLog(const std::string&) {}
void SetFrameTrace(bool) {}
void LogEvent(const std::string&) {}
void LogFrame(bool, const unsigned char*, int) {}

}  // namespace dt
