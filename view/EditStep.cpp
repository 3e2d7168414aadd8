#include "EditStep.h"

SheetSnapshot SheetSnapshot::Capture(const dt::ToolState& s, bool withImage) {
    SheetSnapshot snap;
    snap.texts = s.sheet.Texts();
    snap.voltage = s.voltage;
    snap.limits = s.limits;
    if (withImage) snap.image = static_cast<const dt::ControllerImage&>(s);
    return snap;
}

void SheetSnapshot::Restore(dt::ToolState& s) const {
    if (image) static_cast<dt::ControllerImage&>(s) = *image;
    for (size_t row = 0; row < texts.size(); ++row) s.sheet.SetCell(static_cast<int>(row), texts[row]);
    s.voltage = voltage;
    s.limits = limits;
}

bool SheetSnapshot::SameValues(const SheetSnapshot& other) const {
    if (texts != other.texts) return false;
    if (image.has_value() != other.image.has_value()) return false;
    return !image || (image->block.bytes == other.image->block.bytes && image->foc.bytes == other.image->foc.bytes);
}

CEditStep::CEditStep(dt::ToolState& state, Work work, Describe describe, Show show, bool withImage)
    : state_(state),
      work_(std::move(work)),
      describe_(std::move(describe)),
      show_(std::move(show)),
      withImage_(withImage) {}

void CEditStep::JoinMoves(int list, int row) {
    list_ = list;
    row_ = row;
}

void CEditStep::redo() {
    if (done_) {
        after_.Restore(state_);
    } else {
        before_ = SheetSnapshot::Capture(state_, withImage_);
        work_();
        // Never run again: what it captured goes with it.
        work_ = nullptr;
        done_ = true;
        after_ = SheetSnapshot::Capture(state_, withImage_);
        setObsolete(before_.texts.size() != after_.texts.size() || before_.SameValues(after_));
        // Nothing changed: the grid is left as it is (a refused import does not refresh it).
        if (isObsolete()) return;
        setText(describe_(before_, after_));
    }
    show_();
}

void CEditStep::undo() {
    before_.Restore(state_);
    show_();
}

bool CEditStep::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const CEditStep*>(other);
    // The stack asks only steps of one id, that of joined moves.
    if (!next || next->list_ != list_ || next->row_ != row_) return false;
    after_ = next->after_;
    setText(describe_(before_, after_));
    // Back where the list opened: nothing to undo.
    setObsolete(before_.SameValues(after_));
    return true;
}
