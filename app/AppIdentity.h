#pragma once
// How the desktop recognises the window: its desktop entry, its icon and its version, so a task
// bar or a window switcher shows DriveTune with its own icon. Call once the application exists.

#include <future>

namespace dt {

inline constexpr const char* kDesktopFileName = "drivetune";

void SetApplicationIdentity();

// Identity, support log and, with DRIVETUNE_TRACE=1, the frame trace: what every system's
// window program does before its window.
void StartWindowBasics();

// The window program's very first step, before its application exists. On Linux, while the
// application connects to the display, a second core decodes the built-in pictures (for ReadPicture) and
// starts fontconfig (parsing its configuration takes some milliseconds). Give the result to
// StartWindowProgram.
[[nodiscard]] std::future<void> PrepareWindowProgram();

// What the window program does once its application exists and before its window: the basics
// above, and on Linux: Qt reads the list of installed fonts
// at the first text it lays out, milliseconds that a second core spends (once the prepared work
// is done) while this one builds the window: the result is that reading, to be kept until the
// window is up (and in any case until before the application goes).
[[nodiscard]] std::future<void> StartWindowProgram(std::future<void> prepared = {});

}  // namespace dt
