#pragma once
// One undoable change of the value cells: the edit sheet's texts before and after it, with the
// state a nominal-voltage pick or an import changes beside them. The sheet is the truth; the
// view shows whatever a step puts back.
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
    using Apply = std::function<void(const SheetSnapshot&)>;
    static constexpr int kChoiceId = 1;

    // A step already done: the first redo, which QUndoStack::push makes, changes nothing.
    // mergeKey != nullptr: further changes under the same key and row join this step (the
    // moves through one open list of choices).
    CEditStep(const QString& text, SheetSnapshot before, SheetSnapshot after, Apply apply, int row = -1,
              const void* mergeKey = nullptr);

    void undo() override;
    void redo() override;
    int id() const override { return mergeKey_ ? kChoiceId : -1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    SheetSnapshot before_;
    SheetSnapshot after_;
    Apply apply_;
    int row_;
    const void* mergeKey_;
    bool done_ = true;
};
