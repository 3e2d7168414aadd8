#pragma once
// How the desktop recognises the window: its desktop entry, its icon and its version, so a task
// bar or a window switcher shows DriveTune with its own icon. Call once the application exists.

namespace dt {

inline constexpr const char* kDesktopFileName = "drivetune";

void SetApplicationIdentity();

}  // namespace dt
