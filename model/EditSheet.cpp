#include "EditSheet.h"

#include "ValueCodec.h"

namespace dt {

void EditSheet::Layout(ControllerKind kind, int rows) {
    kind_ = kind;
    shown_.assign(rows > 0 ? rows : 0, std::string());
    valuesShown_ = false;
}

void EditSheet::Show(ControllerKind kind, const Cells& texts) {
    kind_ = kind;
    shown_.clear();
    for (const std::string& text : texts) shown_.push_back(TrimLeft(text));
    valuesShown_ = true;
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

EditSheet::Snapshot EditSheet::Capture(const ControllerImage& image, Language language) const {
    Snapshot snap;
    snap.set = true;
    snap.kind = kind_;
    snap.language = language;
    snap.block = image.block;
    snap.focBlock = image.foc;
    snap.texts = shown_;
    return snap;
}

void EditSheet::TakeBaseline(const ControllerImage& image, Language language) {
    baseline_ = Capture(image, language);
    sending_ = Snapshot();
}

void EditSheet::NoteSending(const ControllerImage& image, Language language) { sending_ = Capture(image, language); }

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

ControllerImage EditSheet::BaselineImage(const ControllerImage& now) const {
    ControllerImage image = now;
    image.kind = baseline_.kind;
    image.block = baseline_.block;
    image.foc = baseline_.focBlock;
    return image;
}

void EditSheet::RelabelBaseline(const Cells& texts, Language language) {
    baseline_.texts.clear();
    for (const std::string& text : texts) baseline_.texts.push_back(TrimLeft(text));
    baseline_.language = language;
}

}  // namespace dt
