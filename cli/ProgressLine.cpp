#include "ProgressLine.h"

#include <algorithm>

#include "Sheet.h"

namespace dt::cli {

void ProgressLine::Clear() {
    if (drawnWidth_ == 0) return;
    err_ << '\r' << std::string(static_cast<size_t>(drawnWidth_), ' ') << '\r' << std::flush;
    drawnWidth_ = 0;
}

void ProgressLine::Draw(XtxId text, int index, int count) {
    if (!enabled_ || count <= 0) return;
    std::string line = FillIn(ExtraText(language_, text), std::to_string(index), std::to_string(count));
    if (columns_ > 1) line = CutToWidth(line, columns_ - 1);
    const int width = DisplayWidth(line);
    // A shorter line than the last leaves none of the old one behind.
    err_ << '\r' << line << std::string(static_cast<size_t>(drawnWidth_ > width ? drawnWidth_ - width : 0), ' ')
         << std::flush;
    drawnWidth_ = std::max(width, drawnWidth_);
}

void ProgressLine::OnBlockRead(const BlockRead& e) { Draw(XTX_PROGRESS_READ, e.index, e.count); }

void ProgressLine::OnBlockWritten(const BlockWritten& e) { Draw(XTX_PROGRESS_WRITE, e.index, e.count); }

}  // namespace dt::cli
