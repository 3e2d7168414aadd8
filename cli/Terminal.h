#pragma once
// What the command line needs to know of its standard streams: whether one is a terminal (help
// fits its width, progress is drawn only there) and how wide it is.
namespace dt::cli {

enum class Stream { In, Out, Err };

bool IsTerminal(Stream stream);
// Columns of the terminal, 0 when the stream is no terminal or does not say.
int TerminalColumns(Stream stream);
// A standard stream the process was started without is held by a descriptor that refuses every
// write, so no file or port opened later takes its number and receives the data meant for it.
void GuardStandardStreams();

}  // namespace dt::cli
