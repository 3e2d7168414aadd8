#include "GridPasses.h"

#include <algorithm>
#include <climits>

#include "RangeRules.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

namespace {
const std::string& Cell(const ValueCells& cells, int row) {
    static const std::string empty;
    return row >= 0 && row < static_cast<int>(cells.size()) ? cells[row] : empty;
}

// Value backgrounds of an accepted cell: green palette for parameters, sage for functions.
uint32_t ValueColour(GridSet set, int gridRow) {
    bool odd = gridRow % 2 != 0;
    if (set == GridSet::Function) return odd ? 0xAAC8BE : 0xE1E6DC;
    return odd ? 0xD2DCAA : 0xEBF0DC;
}

std::string ShowRow(ToolState& s, const ParamDescriptor& d) {
    if (IsChoiceKind(d.kind) && d.bit >= 0) return s.lists.Entry(d.kind, ReadBit(s, d));
    if (d.kind >= KIND_NUMBER) return FormatValue(s, d);
    return std::string();
}

void StoreRow(ToolState& s, const ParamDescriptor& d, const std::string& text, bool nominalRow) {
    if (text.empty() || d.kind <= KIND_NONE || nominalRow) return;
    if (IsChoiceKind(d.kind) && d.bit >= 0) {
        WriteBit(s, d, text == s.lists.Entry(d.kind, 0) ? 0 : 1);
        return;
    }
    StoreText(s, d, text);
}

// Download bounds of the FOC voltage rows for each nominal voltage the FOC list offers.
struct FocVoltageBounds {
    int nominal;
    int overLo, overHi;
    int underLo, underHi;
};
constexpr FocVoltageBounds kFocVoltageBounds[] = {
    {48, 61, 65, 34, 48},
    {36, 48, 65, 27, 36},
    {24, 36, 65, 19, 24},
};

const FocVoltageBounds* FocBoundsFor(int nominal) {
    for (const FocVoltageBounds& b : kFocVoltageBounds)
        if (b.nominal == nominal) return &b;
    return nullptr;
}

constexpr int kFocChoiceKind = KIND_CHOICE_1;

// The text an FOC field shows: the byte or word, row 9 in amperes.
std::string FocFieldText(const FocBlock& f, const FocField& field) {
    const int value = field.word ? f.Word(field.offset) : f.Byte(field.offset);
    return Format("%d", field.row == kFocRowPhaseCurrent ? FocAmpsFromWord(value) : value);
}

// Row 9 stores amperes × 10 / 7, split so that a runaway digit string cannot overflow.
unsigned long long FocFieldValue(const FocField& field, long long read) {
    if (field.row != kFocRowPhaseCurrent) return static_cast<unsigned long long>(read);
    return static_cast<unsigned long long>(read / 7) * 10u + static_cast<unsigned long long>((read % 7) * 10 / 7);
}

ValueCells ShowFoc(ToolState& s) {
    ValueCells cells(s.tables.FocSettings.rowCount);
    const FocBlock& f = s.foc;
    for (int bit = 0; bit < kFocRowChoiceCount; ++bit) {
        const int row = kFocRowRegenEnable + bit;
        if (row < static_cast<int>(cells.size())) cells[row] = s.lists.Entry(kFocChoiceKind, (f.Byte(0) >> bit) & 1);
    }
    for (const FocField& field : FocFields()) {
        if (field.row < static_cast<int>(cells.size())) cells[field.row] = FocFieldText(f, field);
    }
    return cells;
}

void StoreFoc(ToolState& s, const ValueCells& cells) {
    FocBlock& f = s.foc;
    for (int bit = 0; bit < kFocRowChoiceCount; ++bit) {
        const std::string text = TrimLeft(Cell(cells, kFocRowRegenEnable + bit));
        uint8_t b = f.Byte(0);
        if (text == s.lists.Entry(kFocChoiceKind, 1)) b = static_cast<uint8_t>(b | (1u << bit));
        else if (text == s.lists.Entry(kFocChoiceKind, 0)) b = static_cast<uint8_t>(b & ~(1u << bit));
        f.SetByte(0, b);
    }
    for (const FocField& field : FocFields()) {
        const std::string text = TrimLeft(Cell(cells, field.row));
        if (text.empty()) continue;  // an empty cell keeps the block's value
        // A text still as shown keeps the block's value: row 9's amperes do not map back onto
        // every word, and an unchanged cell must never alter what the controller holds.
        if (text == FocFieldText(f, field)) continue;
        const unsigned long long value = FocFieldValue(field, LeadingInteger(text));
        if (field.word) f.SetWord(field.offset, static_cast<uint16_t>(value & 0xFFFF));
        else f.SetByte(field.offset, static_cast<uint8_t>(value & 0xFF));
    }
}

ValidationResult ValidateFoc(const ToolState& s, const ValueCells& cells) {
    ValidationResult res;
    res.message = s.Message(MSG_INPUT_INVALID);
    const auto& rows = s.tables.FocSettings.rows;
    // Saturate at the int range: a wrapped value could land inside the bounds.
    auto value = [&](int row) {
        const long long v = LeadingInteger(TrimLeft(Cell(cells, row)));
        return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    };
    auto check = [&](int row, int lo, int hi) {
        int v = value(row);
        if (v < lo || v > hi) {
            res.message += Format("\n\n%s=%d : %d ≤ x ≤ %d", rows[row].Name(s.language).c_str(), v, lo, hi);
            res.refusedRows.push_back(row);
        } else {
            res.acceptedRows.push_back(row);
            res.acceptedColours.push_back(0xEBF0DC);
        }
    };
    for (const FocField& field : FocFields())
        if (field.row < kFocRowNominalVoltage) check(field.row, field.lo, field.hi);
    const int nominal = value(kFocRowNominalVoltage);
    const FocVoltageBounds* bounds = FocBoundsFor(nominal);
    if (bounds) {
        res.acceptedRows.push_back(kFocRowNominalVoltage);
        res.acceptedColours.push_back(0xD2DCAA);
        check(kFocRowOverVoltage, bounds->overLo, bounds->overHi);
        check(kFocRowUnderVoltage, bounds->underLo, bounds->underHi);
    } else {
        res.message +=
            Format("\n\n%s=%d : %s", rows[kFocRowNominalVoltage].Name(s.language).c_str(), nominal, "{48, 36, 24}");
        res.refusedRows.push_back(kFocRowNominalVoltage);
    }
    for (const FocField& field : FocFields())
        if (field.row >= kFocFirstBoundedRow) check(field.row, field.lo, field.hi);
    res.refused = !res.refusedRows.empty();
    return res;
}
}  // namespace

int ParameterRowCount(const ToolState& s) { return s.tables.ParameterSettings.rowCount; }

std::vector<GridRow> GridLayout(const ToolState& s) {
    std::vector<GridRow> out;
    const ParamTables& t = s.tables;
    if (s.link.focMode) {
        for (int i = 0; i < t.FocSettings.rowCount; ++i) out.push_back({GridSet::Foc, i, &t.FocSettings.rows[i]});
        return out;
    }
    for (int i = 0; i < t.ParameterSettings.rowCount; ++i)
        out.push_back({GridSet::Parameter, i, &t.ParameterSettings.rows[i]});
    for (int k = 0; k < t.FunctionSettings.rowCount; ++k)
        out.push_back({GridSet::Function, k, &t.FunctionSettings.rows[k]});
    return out;
}

std::string IndentValue(const std::string& text) { return "    " + TrimLeft(text); }

int FocAmpsFromWord(int word) {
    for (int n = 35; n <= 70; ++n)
        if (n * 10 / 7 == word) return n;
    return word * 7 / 10;
}

ValueCells ShowValues(ToolState& s) {
    if (s.link.focMode) return ShowFoc(s);
    const ParamTableSet& P = s.tables.ParameterSettings;
    const ParamTableSet& F = s.tables.FunctionSettings;
    ValueCells cells(P.rowCount + F.rowCount);
    if (kRowNominalVoltage < P.rowCount) cells[kRowNominalVoltage] = NominalVoltageDisplay(s);
    for (int i = kFirstValueRow; i < P.rowCount; ++i) {
        if (i == kRowNominalVoltage) continue;
        cells[i] = ShowRow(s, P.rows[i]);
    }
    for (int k = kFirstValueRow; k < F.rowCount; ++k) cells[P.rowCount + k] = ShowRow(s, F.rows[k]);
    return cells;
}

void StoreValues(ToolState& s, const ValueCells& cells) {
    if (s.link.focMode) {
        StoreFoc(s, cells);
        return;
    }
    const int P = s.tables.ParameterSettings.rowCount;
    for (int i = kFirstValueRow; i < P; ++i)
        StoreRow(s, s.tables.ParameterSettings.rows[i], TrimLeft(Cell(cells, i)), i == kRowNominalVoltage);
    for (int k = kFirstValueRow; k < s.tables.FunctionSettings.rowCount; ++k)
        StoreRow(s, s.tables.FunctionSettings.rows[k], TrimLeft(Cell(cells, P + k)), false);
}

ValidationResult ValidateAll(const ToolState& s, const ValueCells& cells) {
    if (s.link.focMode) return ValidateFoc(s, cells);
    ValidationResult res;
    res.message = s.Message(MSG_INPUT_INVALID);
    const int P = s.tables.ParameterSettings.rowCount;
    auto checkRow = [&](const ParamDescriptor& d, int gridRow, GridSet set) {
        if (!IsCheckedKind(d.kind)) return;
        CheckResult r = CheckValue(s, d, TrimLeft(Cell(cells, gridRow)));
        if (!r.valid) {
            res.message += "\n\n" + Format("%s: ", d.Name(s.language).c_str()) + r.hint;
            res.refusedRows.push_back(gridRow);
        } else {
            res.acceptedRows.push_back(gridRow);
            res.acceptedColours.push_back(ValueColour(set, gridRow));
        }
    };
    // Function rows are reported first.
    for (int k = kFirstValueRow; k < s.tables.FunctionSettings.rowCount; ++k)
        checkRow(s.tables.FunctionSettings.rows[k], P + k, GridSet::Function);
    for (int i = kFirstValueRow; i < P; ++i) checkRow(s.tables.ParameterSettings.rows[i], i, GridSet::Parameter);
    res.refused = !res.refusedRows.empty();
    return res;
}

}  // namespace dt
