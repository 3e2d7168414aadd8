#include "ControllerProfile.h"

#include <algorithm>

#include "LinkFrame.h"
#include "ParameterFiles.h"
#include "ProfileImport.h"
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

constexpr KindFacts kStandardFacts{ControllerKind::Standard,
                                   "standard",
                                   "a standard controller",
                                   "foc",
                                   "",  // the message table's, in the current language
                                   ParameterBlock::kSize,
                                   kIdentityBytes,
                                   REQ_WRITE_FIRST,
                                   XTX_STATUS_STANDARD};

// A .foc file: the whole block, taken only from the controller it was read from.
ImportOutcome ImportStandard(ToolState& s, const std::vector<unsigned char>& content) {
    return ImportFile(s, content, ParameterBlock::kSize, [&](ImportOutcome& out) {
        out.detail = VariantMismatch(s, content.data());
        if (!IdentityMatches(s, content.data()) || !out.detail.empty()) {
            out.message = MSG_IMPORT_MISMATCH;
            out.kind = MessageKind::Warning;
            return false;
        }
        std::copy(content.begin(), content.begin() + ParameterBlock::kSize, s.block.bytes.begin());
        return true;
    });
}

// The parameter set followed by the working function set, values in the ParameterBlock.
class StandardKind : public ControllerProfile {
public:
    const KindFacts& Facts() const override { return kStandardFacts; }

    std::vector<GridRow> Layout(const ToolState& s) const override {
        std::vector<GridRow> out;
        const ParamTables& t = s.tables;
        for (int i = 0; i < t.ParameterSettings().rowCount; ++i)
            out.push_back({GridSet::Parameter, i, &t.ParameterSettings().rows[i]});
        for (int k = 0; k < t.FunctionSettings.rowCount; ++k)
            out.push_back({GridSet::Function, k, &t.FunctionSettings.rows[k]});
        return out;
    }

    ValueCells Show(ToolState& s) const override {
        const ParamTableSet& P = s.tables.ParameterSettings();
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
        const int P = s.tables.ParameterSettings().rowCount;
        for (int i = kFirstValueRow; i < P; ++i)
            StoreRow(s, s.tables.ParameterSettings().rows[i], TrimLeft(CellText(cells, i)), i == kRowNominalVoltage);
        for (int k = kFirstValueRow; k < s.tables.FunctionSettings.rowCount; ++k)
            StoreRow(s, s.tables.FunctionSettings.rows[k], TrimLeft(CellText(cells, P + k)), false);
    }

    ValidationResult Validate(const ToolState& s, const ValueCells& cells) const override {
        ValidationResult res;
        res.message = s.Message(MSG_INPUT_INVALID);
        const int P = s.tables.ParameterSettings().rowCount;
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
        for (int i = kFirstValueRow; i < P; ++i) checkRow(s.tables.ParameterSettings().rows[i], i);
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

    const uint8_t* FirstWriteBlock(const ToolState& s) const override {
        return s.block.Block(REQ_WRITE_FIRST & kBlockNumberMask);
    }
    std::vector<unsigned char> FileBytes(const ToolState& s) const override {
        return std::vector<unsigned char>(s.block.bytes.begin(), s.block.bytes.end());
    }
    // Sections 2 and 1, block by block.
    std::vector<uint8_t> WrittenBytes(const ToolState& s) const override {
        std::vector<uint8_t> out;
        for (int n = kBlockFirstSection2; n <= kBlockLast; ++n) {
            const uint8_t* b = s.block.Block(n);
            out.insert(out.end(), b, b + kBlockBytes);
        }
        return out;
    }
    void ClearWritten(ToolState& s) const override {
        for (int n = kBlockFirstSection2; n <= kBlockLast; ++n) std::fill_n(s.block.Block(n), kBlockBytes, 0);
    }
    ImportOutcome Import(ToolState& s, const std::vector<unsigned char>& content) const override {
        return ImportStandard(s, content);
    }
    void Adopt(ToolState& s, const std::vector<unsigned char>& content) const override {
        std::copy(content.begin(), content.begin() + ParameterBlock::kSize, s.block.bytes.begin());
        AdoptKind(s, ControllerKind::Standard);
        s.dataValid = ParseIdentity(s);
        SelectFunctionVariant(s);
    }
    bool RangesKnown(const ToolState& s) const override { return s.dataValid; }
    const OptionList& Choices(const ToolState& s, int, const ParamDescriptor& d) const override {
        return s.lists.ForKind(d.kind);
    }
    uint16_t ModelWord(const ToolState& s) const override { return s.modelWord; }
    std::string Variant(const ToolState& s) const override {
        return s.tables.variant == FunctionVariant::A ? "A" : "B";
    }

    ReadStep TakeReadBlock(ToolState& s, int block, const std::vector<uint8_t>& payload) const override {
        uint8_t* bytes = s.block.Block(block);
        if (!bytes) return ReadStep::Ignored;  // a block number no read asks for
        std::copy(payload.begin(), payload.end(), bytes);
        return block == kBlockLast ? ReadStep::Done : ReadStep::Next;
    }
    ReadVerdict CompleteRead(ToolState& s) const override {
        s.dataValid = ParseIdentity(s);
        SelectFunctionVariant(s);
        return {s.modelWord, s.modelWord == 0 || VersionMatches(s.modelWord)};
    }
    // The identity, the rest of section 3, then sections 2 and 1.
    BlockPlace ReadPlace(int block) const override {
        constexpr int kSection3 = kBlockLastSection3 - kBlockIdentity + 1;
        constexpr int kBlocks = kSection3 + (kBlockLast - kBlockFirstSection2 + 1);
        if (block >= kBlockIdentity && block <= kBlockLastSection3) return {block - kBlockIdentity + 1, kBlocks};
        if (block >= kBlockFirstSection2 && block <= kBlockLast) return {kSection3 + block - kBlockFirstSection2 + 1, kBlocks};
        return {};
    }
    BlockPlace PlaceOf(int block) const override { return StandardWritePlace(block); }

    std::vector<GridHeading> Headings(const ToolState& s) const override {
        const Language lang = s.language;
        const ParamTableSet& P = s.tables.ParameterSettings();
        const ParamTableSet& F = s.tables.FunctionSettings;
        std::vector<GridHeading> h{{0, 0, P.Title(lang)}};
        for (int g = 0; g < P.groupCount; ++g) h.push_back({P.GroupFirstRow(g), 1, P.groups[g].Title(lang)});
        h.push_back({P.rowCount, 0, F.Title(lang)});
        for (int g = 0; g < F.groupCount; ++g)
            h.push_back({P.rowCount + F.GroupFirstRow(g), 1, F.groups[g].Title(lang)});
        return h;
    }
    std::vector<CellWrite> ChoiceWrites(ToolState& s, int row, const std::string& text) const override {
        if (row != kRowNominalVoltage) return {};
        const VoltagePick pick = PickNominalVoltage(s, text);
        std::vector<CellWrite> writes;
        for (int i = 0; i < 6; ++i) writes.push_back({VoltagePickRow(s, i), pick.texts[i]});
        return writes;
    }
    void FollowSheet(ToolState& s, const std::vector<int>& rows) const override {
        if (std::find(rows.begin(), rows.end(), kRowNominalVoltage) != rows.end())
            PickNominalVoltage(s, s.sheet.Text(kRowNominalVoltage));
        ComputeCurrentLimits(s);
    }
};

}  // namespace

BlockPlace StandardWritePlace(int block) {
    constexpr int kStandardBlocks = kBlockLast - kBlockFirstSection2 + 1;
    if (block >= kBlockFirstSection2 && block <= kBlockLast) return {block - kBlockFirstSection2 + 1, kStandardBlocks};
    return {};
}

const ControllerProfile& StandardProfile() {
    static const StandardKind profile;
    return profile;
}

}  // namespace dt
