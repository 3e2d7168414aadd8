#include "ChangeMarks.h"

#include "GridCtrl.h"
#include "GridPasses.h"
#include "ToolState.h"

namespace {
constexpr int kValueColumn = 2;

// As the grid hands texts back: without leading white space.
std::string TrimLeft(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : s.substr(first);
}
}  // namespace

CChangeMarks::Snapshot CChangeMarks::Capture(const Cells& shown) const {
    Snapshot s;
    s.set = true;
    s.foc = state_.link.focMode;
    s.language = state_.language;
    s.block = state_.block;
    s.focBlock = state_.foc;
    s.texts = shown;
    return s;
}

void CChangeMarks::TakeBaseline(const Cells& shown) {
    baseline_ = Capture(shown);
    sending_ = Snapshot();
}

void CChangeMarks::NoteSending(const Cells& shown) { sending_ = Capture(shown); }

bool CChangeMarks::AdoptSent() {
    if (!sending_.set) return false;
    baseline_ = sending_;
    sending_ = Snapshot();
    return true;
}

void CChangeMarks::FollowLanguage() {
    if (!baseline_.set || baseline_.language == state_.language) return;
    // Shown again by the same pass the grid uses, on a copy: showing sets the voltage state.
    dt::ToolState copy = state_;
    copy.link.focMode = baseline_.foc;
    copy.block = baseline_.block;
    copy.foc = baseline_.focBlock;
    baseline_.texts.clear();
    for (const std::string& text : dt::ShowValues(copy)) baseline_.texts.push_back(TrimLeft(text));
    baseline_.language = state_.language;
}

int CChangeMarks::Apply(CGridCtrl& grid, bool builtFoc, bool valuesShown) {
    FollowLanguage();
    const int rows = grid.GetRowCount();
    const bool active = valuesShown && baseline_.set && baseline_.foc == builtFoc &&
                        static_cast<int>(baseline_.texts.size()) == rows;
    marked_.assign(rows, false);
    changed_ = 0;
    for (int row = 0; row < rows; ++row) {
        const bool changed = active && grid.GetItemText(row, kValueColumn).toStdString() != baseline_.texts[row];
        marked_[row] = changed;
        changed_ += changed ? 1 : 0;
        grid.SetItemMarked(row, kValueColumn, changed);
    }
    grid.Refresh();
    return changed_;
}

const std::string* CChangeMarks::ControllerText(int row) const {
    if (row < 0 || row >= static_cast<int>(marked_.size()) || !marked_[row]) return nullptr;
    return &baseline_.texts[row];
}
