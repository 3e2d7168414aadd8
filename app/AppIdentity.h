#pragma once
// How the desktop recognises the window: its desktop entry, its icon and its version, so a task
// bar or a window switcher shows DriveTune with its own icon. Call once the application exists.

namespace dt {

inline constexpr const char* kDesktopFileName = "drivetune";

void SetApplicationIdentity();

// What the window program does once its application exists and before its window: identity,
// support log and, with DRIVETUNE_TRACE=1, the frame trace.
void StartWindowProgram();

}  // namespace dt
