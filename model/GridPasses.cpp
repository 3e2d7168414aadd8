#include "GridPasses.h"

#include "ControllerProfile.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

int ParameterRowCount(const ControllerView& v) { return v.Tables().ParameterSettings().rowCount; }

std::vector<GridRow> GridLayout(const ControllerView& v) { return ProfileOf(v.image).Layout(v); }

RowTopic TopicOfRow(const ControllerView& v, int row) {
    const std::vector<GridRow> layout = GridLayout(v);
    if (row < 0 || row >= static_cast<int>(layout.size())) return {GridSet::Parameter, -1};
    const GridRow& r = layout[row];
    switch (r.set) {
    case GridSet::Parameter:
        return {GridSet::Parameter, v.Tables().ParameterSettings().GroupOfRecord(r.record)};
    case GridSet::Function:
        return {GridSet::Function, v.FunctionSettings().GroupOfRecord(r.record)};
    case GridSet::Foc:
        break;
    }
    return {r.record < kFocRowParameterGroup ? GridSet::Function : GridSet::Parameter, -1};
}

std::string IndentValue(const std::string& text) { return "    " + TrimLeft(text); }

int FocAmpsFromWord(int word) {
    for (int n = 35; n <= 70; ++n)
        if (n * 10 / 7 == word) return n;
    return word * 7 / 10;
}

ValueCells ShowValues(const ControllerView& v) { return ProfileOf(v.image).Show(v); }

void FollowValues(ToolState& s) { ProfileOf(s).FollowValues(*s.catalogue, s); }

void ShowOnSheet(ToolState& s) {
    FollowValues(s);
    s.sheet.Show(s.kind, ShowValues(s));
    // The baseline shown again in the state's language, so that a language switch marks nothing.
    if (s.sheet.BaselineNeedsRelabel(s.language)) {
        const ControllerImage baseline = s.sheet.BaselineImage(s);
        s.sheet.RelabelBaseline(ShowValues({*s.catalogue, baseline, s.language}), s.language);
    }
}

void StoreValues(ToolState& s, const ValueCells& cells) { ProfileOf(s).Store(*s.catalogue, s.language, s, cells); }

namespace {
// The image as a download started now would see it: the sheet's texts stored first. Cells of
// the other kind of controller are not checked until this one is read.
bool ProbeNow(const ToolState& s, ControllerImage& probe) {
    if (s.sheet.Kind() != s.kind) return false;
    probe = s;
    ProfileOf(s).Store(*s.catalogue, s.language, probe, s.sheet.Texts());
    return true;
}
}  // namespace

std::string AllowedRangeNow(const ToolState& s, int row) {
    ControllerImage probe;
    if (!ProbeNow(s, probe)) return std::string();
    return ProfileOf(probe).AllowedRange({*s.catalogue, probe, s.language}, s.sheet.Texts(), row);
}

std::vector<int> OutOfRangeRowsNow(const ToolState& s) {
    ControllerImage probe;
    if (!ProbeNow(s, probe)) return {};
    return ProfileOf(probe).Validate({*s.catalogue, probe, s.language}, s.sheet.Texts()).refusedRows;
}

ValidationResult ValidateAll(const ControllerView& v, const ValueCells& cells) {
    return ProfileOf(v.image).Validate(v, cells);
}

}  // namespace dt
