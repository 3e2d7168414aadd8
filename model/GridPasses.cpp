#include "GridPasses.h"

#include "ControllerProfile.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

const std::string& CellText(const ValueCells& cells, int row) {
    static const std::string empty;
    return row >= 0 && row < static_cast<int>(cells.size()) ? cells[row] : empty;
}

int ParameterRowCount(const ToolState& s) { return s.tables.ParameterSettings().rowCount; }

std::vector<GridRow> GridLayout(const ToolState& s) { return ProfileOf(s).Layout(s); }

RowTopic TopicOfRow(const ToolState& s, int row) {
    const std::vector<GridRow> layout = GridLayout(s);
    if (row < 0 || row >= static_cast<int>(layout.size())) return {GridSet::Parameter, -1};
    const GridRow& r = layout[row];
    switch (r.set) {
    case GridSet::Parameter:
        return {GridSet::Parameter, s.tables.ParameterSettings().GroupOfRecord(r.record)};
    case GridSet::Function:
        return {GridSet::Function, s.tables.FunctionSettings.GroupOfRecord(r.record)};
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

ValueCells ShowValues(ToolState& s) { return ProfileOf(s).Show(s); }

void StoreValues(ToolState& s, const ValueCells& cells) { ProfileOf(s).Store(s, cells); }

std::string AllowedRangeNow(const ToolState& s, int row) {
    // Cells of the other kind of controller are not checked until this one is read.
    if (s.sheet.Kind() != s.link.kind) return std::string();
    // On a copy: the rules read words the edited cells have not yet written into the blocks.
    ToolState probe = s;
    StoreValues(probe, probe.sheet.Texts());
    return ProfileOf(probe).AllowedRange(probe, probe.sheet.Texts(), row);
}

std::vector<int> OutOfRangeRowsNow(const ToolState& s) {
    if (s.sheet.Kind() != s.link.kind) return {};
    ToolState probe = s;
    StoreValues(probe, probe.sheet.Texts());
    return ProfileOf(probe).Validate(probe, probe.sheet.Texts()).refusedRows;
}

ValidationResult ValidateAll(const ToolState& s, const ValueCells& cells) { return ProfileOf(s).Validate(s, cells); }

}  // namespace dt
