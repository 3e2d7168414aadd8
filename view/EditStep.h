#pragma once
// One user action on the value cells as one undo step: a cell typed or put back, a choice with
// the cells it brings along, every change reverted, a set imported. redo() does the action on
// the edit sheet and the state beside it; undo() puts back what was there. The view then shows
// whatever the sheet holds.
#include <QUndoCommand>

#include <functional>
#include <optional>

#include "ToolState.h"

struct SheetSnapshot {
    dt::EditSheet::Cells texts;
    dt::VoltageClassState voltage;
    dt::CurrentLimits limits;
    // An import replaces the blocks too, words the grid does not show included.
    std::optional<dt::ControllerImage> image;

    static SheetSnapshot Capture(const dt::ToolState& s, bool withImage);
    // Into the state; the caller shows the sheet again.
    void Restore(dt::ToolState& s) const;
    bool SameValues(const SheetSnapshot& other) const;
};

class CEditStep : public QUndoCommand {
public:
    // The action, on the state the step was made for.
    using Work = std::function<void()>;
    // The step's text from the sheet before and after it: "Rated current(A): 30 → 35".
    using Describe = std::function<QString(const SheetSnapshot& before, const SheetSnapshot& after)>;
    // Shows the state after the step went either way.
    using Show = std::function<void()>;
    static constexpr int kChoiceId = 1;

    // withImage keeps the blocks as well (an import).
    CEditStep(dt::ToolState& state, Work work, Describe describe, Show show, bool withImage);
    // Moves through one open list of choices (list > 0 numbers the opening) on one row join into
    // this step.
    void JoinMoves(int list, int row);

    // The first redo does the work; a step that changed nothing, or laid the rows out anew so that
    // nothing can be put back onto them, is obsolete and never kept. Later redos put back what the
    // work left: an import is not read again.
    void redo() override;
    void undo() override;
    int id() const override { return list_ > 0 ? kChoiceId : -1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    dt::ToolState& state_;
    Work work_;
    Describe describe_;
    Show show_;
    bool withImage_;
    int list_ = 0;
    int row_ = -1;
    bool done_ = false;
    SheetSnapshot before_;
    SheetSnapshot after_;
};
