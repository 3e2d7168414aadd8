#include "EditSheet.h"

#include "ControllerProfile.h"
#include "GridPasses.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

void EditSheet::Layout(ControllerKind kind, int rows) {
    kind_ = kind;
    shown_.assign(rows > 0 ? rows : 0, std::string());
    valuesShown_ = false;
}

void EditSheet::Show(const ToolState& s, const Cells& texts) {
    kind_ = s.link.kind;
    shown_.clear();
    for (const std::string& text : texts) shown_.push_back(TrimLeft(text));
    valuesShown_ = true;
    FollowLanguage(s);
}

bool EditSheet::SetCell(int row, const std::string& text) {
    if (row < 0 || row >= Rows()) return false;
    shown_[row] = TrimLeft(text);
    return true;
}

const std::string& EditSheet::Text(int row) const {
    static const std::string empty;
    return row >= 0 && row < Rows() ? shown_[row] : empty;
}

EditSheet::Snapshot EditSheet::Capture(const ToolState& s) const {
    Snapshot snap;
    snap.set = true;
    snap.kind = kind_;
    snap.language = s.language;
    snap.block = s.block;
    snap.focBlock = s.foc;
    snap.texts = shown_;
    return snap;
}

void EditSheet::TakeBaseline(const ToolState& s) {
    baseline_ = Capture(s);
    sending_ = Snapshot();
}

void EditSheet::NoteSending(const ToolState& s) { sending_ = Capture(s); }

bool EditSheet::AdoptSent() {
    if (!sending_.set) return false;
    baseline_ = sending_;
    sending_ = Snapshot();
    return true;
}

bool EditSheet::Comparable() const {
    // A grid without values, or built for the other kind of controller, shows nothing to compare.
    return valuesShown_ && baseline_.set && baseline_.kind == kind_ && baseline_.texts.size() == shown_.size();
}

const std::string* EditSheet::Baseline(int row) const {
    if (!Comparable() || row < 0 || row >= Rows()) return nullptr;
    return &baseline_.texts[row];
}

bool EditSheet::IsChanged(int row) const {
    const std::string* controller = Baseline(row);
    return controller && *controller != shown_[row];
}

std::vector<int> EditSheet::ChangedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < Rows(); ++row)
        if (IsChanged(row)) rows.push_back(row);
    return rows;
}

void EditSheet::FollowLanguage(const ToolState& s) {
    if (!baseline_.set || baseline_.language == s.language) return;
    // Shown again by the pass the grid uses, on a copy: showing sets the voltage state.
    ToolState copy = s;
    copy.link.kind = baseline_.kind;
    copy.block = baseline_.block;
    copy.foc = baseline_.focBlock;
    baseline_.texts.clear();
    for (const std::string& text : ShowValues(copy)) baseline_.texts.push_back(TrimLeft(text));
    baseline_.language = s.language;
}

void ShowOnSheet(ToolState& s) {
    const EditSheet::Cells cells = ShowValues(s);
    s.sheet.Show(s, cells);
}

}  // namespace dt
