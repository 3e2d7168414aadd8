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

CEditStep::CEditStep(const QString& text, SheetSnapshot before, SheetSnapshot after, Apply apply, int row,
                     const void* mergeKey)
    : QUndoCommand(text),
      before_(std::move(before)),
      after_(std::move(after)),
      apply_(std::move(apply)),
      row_(row),
      mergeKey_(mergeKey) {}

void CEditStep::undo() {
    done_ = false;
    apply_(before_);
}

void CEditStep::redo() {
    if (done_) return;
    done_ = true;
    apply_(after_);
}

bool CEditStep::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const CEditStep*>(other);
    if (!next || !mergeKey_ || next->mergeKey_ != mergeKey_ || next->row_ != row_) return false;
    after_ = next->after_;
    // Back where the list opened: nothing to undo.
    setObsolete(before_.SameValues(after_));
    return true;
}
