#pragma once
// What the command line needs to know of its standard streams: whether one is a terminal (help
// fits its width, progress is drawn only there) and how wide it is.
namespace dt::cli {

enum class Stream { Out, Err };

bool IsTerminal(Stream stream);
// Columns of the terminal, 0 when the stream is no terminal or does not say.
int TerminalColumns(Stream stream);

}  // namespace dt::cli
