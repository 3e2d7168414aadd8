#pragma once
// One line on standard error redrawn in place while a long exchange runs ("Writing block 3 of 6"),
// cleared before anything else is printed there. Drawn only on a terminal: a pipe or a log file
// never receives it.
#include <ostream>
#include <string>

#include "ExtraTexts.h"
#include "LinkEvents.h"

namespace dt::cli {

class ProgressLine : public LinkListener {
public:
    ProgressLine(std::ostream& err, Language language) : err_(err), language_(language) {}
    ~ProgressLine() override { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Off (the default): nothing is ever drawn.
    void Enable(bool on) { enabled_ = on; }
    // The terminal's width in columns (0: unknown). The line is cut short of it: a line that
    // reached the last column would wrap, and every redraw would leave one behind.
    void SetColumns(int columns) { columns_ = columns; }
    // Erases the line, when one is drawn, and leaves the cursor at its start.
    void Clear();

    void OnBlockRead(const BlockRead& e) override;
    void OnBlockWritten(const BlockWritten& e) override;
    // The exchange is over, whichever way.
    void OnReadCompleted(const ReadCompleted&) override { Clear(); }
    void OnStoreOutcome(const StoreOutcome&) override { Clear(); }
    void OnLinkLost(const LinkLost&) override { Clear(); }

private:
    void Draw(XtxId text, int index, int count);
    std::ostream& err_;
    Language language_;
    bool enabled_ = false;
    int columns_ = 0;
    int drawnWidth_ = 0;  // columns of the line on screen, 0 when none
};

}  // namespace dt::cli
