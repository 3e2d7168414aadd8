#pragma once

namespace dt::cli {
// Runs drivetune-cli with the process arguments; returns the exit status.
int Main(int argc, char** argv);
}  // namespace dt::cli
