#include "ControllerProfile.h"

#include "LinkFrame.h"
#include "RangeRules.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

namespace {

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

// The parameter set followed by the working function set, values in the ParameterBlock.
class StandardKind : public ControllerProfile {
public:
    bool Foc() const override { return false; }

    std::vector<GridRow> Layout(const ToolState& s) const override {
        std::vector<GridRow> out;
        const ParamTables& t = s.tables;
        for (int i = 0; i < t.ParameterSettings.rowCount; ++i)
            out.push_back({GridSet::Parameter, i, &t.ParameterSettings.rows[i]});
        for (int k = 0; k < t.FunctionSettings.rowCount; ++k)
            out.push_back({GridSet::Function, k, &t.FunctionSettings.rows[k]});
        return out;
    }

    ValueCells Show(ToolState& s) const override {
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

    void Store(ToolState& s, const ValueCells& cells) const override {
        const int P = s.tables.ParameterSettings.rowCount;
        for (int i = kFirstValueRow; i < P; ++i)
            StoreRow(s, s.tables.ParameterSettings.rows[i], TrimLeft(CellText(cells, i)), i == kRowNominalVoltage);
        for (int k = kFirstValueRow; k < s.tables.FunctionSettings.rowCount; ++k)
            StoreRow(s, s.tables.FunctionSettings.rows[k], TrimLeft(CellText(cells, P + k)), false);
    }

    ValidationResult Validate(const ToolState& s, const ValueCells& cells) const override {
        ValidationResult res;
        res.message = s.Message(MSG_INPUT_INVALID);
        const int P = s.tables.ParameterSettings.rowCount;
        auto checkRow = [&](const ParamDescriptor& d, int gridRow) {
            if (!IsCheckedKind(d.kind)) return;
            CheckResult r = CheckValue(s, d, TrimLeft(CellText(cells, gridRow)));
            if (!r.valid) {
                res.message += "\n\n" + Format("%s: ", d.Name(s.language).c_str()) + r.hint;
                res.refusedRows.push_back(gridRow);
            } else {
                res.acceptedRows.push_back(gridRow);
            }
        };
        // Function rows are reported first.
        for (int k = kFirstValueRow; k < s.tables.FunctionSettings.rowCount; ++k)
            checkRow(s.tables.FunctionSettings.rows[k], P + k);
        for (int i = kFirstValueRow; i < P; ++i) checkRow(s.tables.ParameterSettings.rows[i], i);
        res.refused = !res.refusedRows.empty();
        return res;
    }

    std::string AllowedRange(const ToolState& s, const ValueCells&, int row) const override {
        const std::vector<GridRow> rows = Layout(s);
        if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row].record < kFirstValueRow) return std::string();
        const ParamDescriptor& d = *rows[row].desc;
        return IsCheckedKind(d.kind) ? AllowedRangeText(s, d) : std::string();
    }

    RowValue ValueOf(const ToolState& s, const ValueCells&, int row) const override {
        RowValue v;
        const std::vector<GridRow> rows = Layout(s);
        if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row].record < kFirstValueRow) return v;
        const ParamDescriptor& d = *rows[row].desc;
        if (d.kind == KIND_NOMINAL_VOLTAGE) {
            // Derived from the minimum working voltage; no word of its own.
            v.numeric = true;
            return v;
        }
        if (d.kind <= KIND_NONE) return v;
        v.hasWord = true;
        v.word = ReadWord(s, d);
        v.numeric = !(IsChoiceKind(d.kind) && d.bit >= 0) && ShowsNumber(d.format);
        if (!IsCheckedKind(d.kind) || !s.dataValid || d.range == RULE_NONE || d.range == RULE_POWER_OF_TWO) return v;
        const RangeBounds b = RuleBounds(s, d.range);
        // No maximum: the rule has no interval (a speed limit without pole pairs, an unknown id).
        if (b.max == -1) return v;
        v.bounded = true;
        v.min = b.min;
        v.max = b.max;
        return v;
    }

    uint8_t FirstWriteCommand() const override { return REQ_WRITE_FIRST; }
    const uint8_t* FirstWriteBlock(const ToolState& s) const override {
        return s.block.Block(REQ_WRITE_FIRST & kBlockNumberMask);
    }
    const char* FileExtension() const override { return "foc"; }
};

}  // namespace

const ControllerProfile& StandardProfile() {
    static const StandardKind profile;
    return profile;
}

const ControllerProfile& ProfileOf(const ToolState& s) { return s.link.focMode ? FocProfile() : StandardProfile(); }

}  // namespace dt
