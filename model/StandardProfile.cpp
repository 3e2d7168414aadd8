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

std::string ShowRow(const ControllerView& v, const ParamDescriptor& d) {
    if (IsChoiceKind(d.kind) && d.bit >= 0) return v.Choice(d.kind, ReadBit(v.image, d));
    if (d.kind >= KIND_NUMBER) return FormatValue(v.image, d);
    return std::string();
}

void StoreRow(const ControllerView& v, ControllerImage& image, const ParamDescriptor& d, const std::string& text,
              bool nominalRow) {
    if (text.empty() || d.kind <= KIND_NONE || nominalRow) return;
    if (IsChoiceKind(d.kind) && d.bit >= 0) {
        WriteBit(image, d, text == v.Choice(d.kind, 0) ? 0 : 1);
        return;
    }
    StoreText(image, d, text);
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

    std::vector<GridRow> Layout(const ControllerView& v) const override {
        std::vector<GridRow> out;
        const ParamTableSet& P = v.Tables().ParameterSettings();
        const ParamTableSet& F = v.FunctionSettings();
        for (int i = 0; i < P.rowCount; ++i) out.push_back({GridSet::Parameter, i, &P.rows[i]});
        for (int k = 0; k < F.rowCount; ++k) out.push_back({GridSet::Function, k, &F.rows[k]});
        return out;
    }

    ValueCells Show(const ControllerView& v) const override {
        const ParamTableSet& P = v.Tables().ParameterSettings();
        const ParamTableSet& F = v.FunctionSettings();
        ValueCells cells(P.rowCount + F.rowCount);
        if (kRowNominalVoltage < P.rowCount) cells[kRowNominalVoltage] = NominalVoltageDisplay(v);
        for (int i = kFirstValueRow; i < P.rowCount; ++i) {
            if (i == kRowNominalVoltage) continue;
            cells[i] = ShowRow(v, P.rows[i]);
        }
        for (int k = kFirstValueRow; k < F.rowCount; ++k) cells[P.rowCount + k] = ShowRow(v, F.rows[k]);
        return cells;
    }

    void Store(const Catalogue& c, Language language, ControllerImage& image, const ValueCells& cells) const override {
        const ControllerView v{c, image, language};
        const ParamTableSet& P = v.Tables().ParameterSettings();
        const ParamTableSet& F = v.FunctionSettings();
        for (int i = kFirstValueRow; i < P.rowCount; ++i)
            StoreRow(v, image, P.rows[i], TrimLeft(CellText(cells, i)), i == kRowNominalVoltage);
        for (int k = kFirstValueRow; k < F.rowCount; ++k)
            StoreRow(v, image, F.rows[k], TrimLeft(CellText(cells, P.rowCount + k)), false);
    }

    void FollowValues(const Catalogue& c, ControllerImage& image) const override { FollowMinWorkVoltage(c, image); }

    ValidationResult Validate(const ControllerView& v, const ValueCells& cells) const override {
        ValidationResult res;
        res.message = v.Message(MSG_INPUT_INVALID);
        const int P = v.Tables().ParameterSettings().rowCount;
        auto checkRow = [&](const ParamDescriptor& d, int gridRow) {
            if (!IsCheckedKind(d.kind)) return;
            CheckResult r = CheckValue(v, d, TrimLeft(CellText(cells, gridRow)));
            if (!r.valid) {
                res.message += "\n\n" + Format("%s: ", d.Name(v.language).c_str()) + r.hint;
                res.refusedRows.push_back(gridRow);
            } else {
                res.acceptedRows.push_back(gridRow);
            }
        };
        // Function rows are reported first.
        for (int k = kFirstValueRow; k < v.FunctionSettings().rowCount; ++k) checkRow(v.FunctionSettings().rows[k], P + k);
        for (int i = kFirstValueRow; i < P; ++i) checkRow(v.Tables().ParameterSettings().rows[i], i);
        res.refused = !res.refusedRows.empty();
        return res;
    }

    std::string AllowedRange(const ControllerView& v, const ValueCells&, int row) const override {
        const std::vector<GridRow> rows = Layout(v);
        if (row < 0 || row >= static_cast<int>(rows.size()) || rows[row].record < kFirstValueRow) return std::string();
        const ParamDescriptor& d = *rows[row].desc;
        return IsCheckedKind(d.kind) ? AllowedRangeText(v, d) : std::string();
    }

    RowValue ValueOf(const ControllerView& view, const ValueCells&, int row) const override {
        const ControllerImage& s = view.image;
        RowValue v;
        const std::vector<GridRow> rows = Layout(view);
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

    const uint8_t* FirstWriteBlock(const ControllerImage& s) const override {
        return s.block.Block(REQ_WRITE_FIRST & kBlockNumberMask);
    }
    std::vector<unsigned char> FileBytes(const ControllerImage& s) const override {
        return std::vector<unsigned char>(s.block.bytes.begin(), s.block.bytes.end());
    }
    // Sections 2 and 1, block by block.
    std::vector<uint8_t> WrittenBytes(const ControllerImage& s) const override {
        std::vector<uint8_t> out;
        for (int n = kBlockFirstSection2; n <= kBlockLast; ++n) {
            const uint8_t* b = s.block.Block(n);
            out.insert(out.end(), b, b + kBlockBytes);
        }
        return out;
    }
    void ClearWritten(ControllerImage& s) const override {
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
    bool RangesKnown(const ControllerImage& s) const override { return s.dataValid; }
    const OptionList& Choices(const ToolState& s, int, const ParamDescriptor& d) const override {
        return s.lists.ForKind(d.kind);
    }
    uint16_t ModelWord(const ControllerImage& s) const override { return s.modelWord; }
    std::string Variant(const ControllerImage& s) const override {
        return s.variant == FunctionVariant::A ? "A" : "B";
    }

    ReadStep TakeReadBlock(ControllerImage& s, int block, const std::vector<uint8_t>& payload) const override {
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

    std::vector<GridHeading> Headings(const ControllerView& v) const override {
        const Language lang = v.language;
        const ParamTableSet& P = v.Tables().ParameterSettings();
        const ParamTableSet& F = v.FunctionSettings();
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
