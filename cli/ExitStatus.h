#pragma once
// Exit statuses of drivetune-cli, the same for every command.
namespace dt::cli {

constexpr int kOk = 0;
// A refusal (range check, mismatch, port, time-out, the controller's own), or for diff: the
// values differ.
constexpr int kRefused = 1;
constexpr int kDiffer = 1;
// A bad command line, or a file that cannot be read or written.
constexpr int kUsage = 2;
// Stopped by Ctrl+C or SIGTERM, as a shell reports a process ended by SIGINT (128 + 2).
constexpr int kInterrupted = 130;

}  // namespace dt::cli
