#pragma once
// Which value cells differ from the set the controller last reported. The baseline is taken
// from the grid when a read completes, and from what a download sent once the controller
// stored it; every shown text that differs from it is marked (bold, corner marker).
// The blocks behind the texts are kept too, so a language switch shows the same set in the
// other language instead of marking every choice cell.
#include <string>
#include <vector>

#include "Blocks.h"
#include "Texts.h"

class CGridCtrl;

namespace dt {
struct ToolState;
}

class CChangeMarks {
public:
    // Value-cell texts by grid row, without the indent.
    using Cells = std::vector<std::string>;

    explicit CChangeMarks(const dt::ToolState& state) : state_(state) {}

    // A read completed: the shown cells are what the controller holds.
    void TakeBaseline(const Cells& shown);
    // A download is being sent with these cells; they become the baseline once it is stored.
    void NoteSending(const Cells& shown);
    // The controller stored the download; false when no sending was noted.
    bool AdoptSent();
    bool HasBaseline() const { return baseline_.set; }

    // Marks every cell of column 2 whose text differs from the baseline and clears the others.
    // Nothing is marked without a baseline for the kind of controller the rows were built for,
    // or while the grid shows no values. Returns the number of marked cells.
    int Apply(CGridCtrl& grid, bool builtFoc, bool valuesShown);
    int ChangedCount() const { return changed_; }
    // The baseline's text of a marked row; null when the row is not marked.
    const std::string* ControllerText(int row) const;

private:
    struct Snapshot {
        bool set = false;
        bool foc = false;
        dt::Language language = dt::LANG_ENGLISH;
        dt::ParameterBlock block;
        dt::FocBlock focBlock;
        Cells texts;
    };
    Snapshot Capture(const Cells& shown) const;
    // The baseline's texts in the current language, from its blocks.
    void FollowLanguage();

    const dt::ToolState& state_;
    Snapshot baseline_;
    Snapshot sending_;
    std::vector<bool> marked_;
    int changed_ = 0;
};
