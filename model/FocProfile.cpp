#include "ControllerProfile.h"

#include <algorithm>
#include <climits>

#include "LinkFrame.h"
#include "ProfileImport.h"
#include "RangeRules.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

namespace {

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

ValueCells ShowFoc(const ControllerView& v) {
    ValueCells cells(v.Tables().FocSettings().rowCount);
    const FocBlock& f = v.image.foc;
    for (int bit = 0; bit < kFocRowChoiceCount; ++bit) {
        const int row = kFocRowRegenEnable + bit;
        if (row < static_cast<int>(cells.size())) cells[row] = v.Choice(kFocChoiceKind, (f.Byte(0) >> bit) & 1);
    }
    for (const FocField& field : FocFields()) {
        if (field.row < static_cast<int>(cells.size())) cells[field.row] = FocFieldText(f, field);
    }
    return cells;
}

void StoreFoc(const ControllerView& v, FocBlock& f, const ValueCells& cells) {
    for (int bit = 0; bit < kFocRowChoiceCount; ++bit) {
        const std::string text = TrimLeft(CellText(cells, kFocRowRegenEnable + bit));
        uint8_t b = f.Byte(0);
        if (text == v.Choice(kFocChoiceKind, 1)) b = static_cast<uint8_t>(b | (1u << bit));
        else if (text == v.Choice(kFocChoiceKind, 0)) b = static_cast<uint8_t>(b & ~(1u << bit));
        f.SetByte(0, b);
    }
    for (const FocField& field : FocFields()) {
        const std::string text = TrimLeft(CellText(cells, field.row));
        if (text.empty()) continue;  // an empty cell keeps the block's value
        // A text still as shown keeps the block's value: row 9's amperes do not map back onto
        // every word, and an unchanged cell must never alter what the controller holds.
        if (text == FocFieldText(f, field)) continue;
        const unsigned long long value = FocFieldValue(field, LeadingInteger(text));
        if (field.word) f.SetWord(field.offset, static_cast<uint16_t>(value & 0xFFFF));
        else f.SetByte(field.offset, static_cast<uint8_t>(value & 0xFF));
    }
}

// A cell's leading integer, saturated at the int range: a wrapped value could land inside the bounds.
int CellInteger(const ValueCells& cells, int row) {
    // Saturate at the int range: a wrapped value could land inside the bounds.
    const long long v = LeadingInteger(TrimLeft(CellText(cells, row)));
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

ValidationResult ValidateFoc(const ControllerView& s, const ValueCells& cells) {
    ValidationResult res;
    res.message = s.Message(MSG_INPUT_INVALID);
    const auto& rows = s.Tables().FocSettings().rows;
    auto value = [&](int row) { return CellInteger(cells, row); };
    auto check = [&](int row, int lo, int hi) {
        int v = value(row);
        if (v < lo || v > hi) {
            res.message += Format("\n\n%s=%d : %d ≤ x ≤ %d", rows[row].Name(s.language).c_str(), v, lo, hi);
            res.refusedRows.push_back(row);
        } else {
            res.acceptedRows.push_back(row);
        }
    };
    for (const FocField& field : FocFields())
        if (field.row < kFocRowNominalVoltage) check(field.row, field.lo, field.hi);
    const int nominal = value(kFocRowNominalVoltage);
    const FocVoltageBounds* bounds = FocBoundsFor(nominal);
    if (bounds) {
        res.acceptedRows.push_back(kFocRowNominalVoltage);
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

// The bounds ValidateFoc holds a row to; the voltages follow the nominal voltage in the cells.
bool FocBounds(const ValueCells& cells, int row, int& lo, int& hi) {
    if (row == kFocRowOverVoltage || row == kFocRowUnderVoltage) {
        const FocVoltageBounds* b = FocBoundsFor(CellInteger(cells, kFocRowNominalVoltage));
        if (!b) return false;
        lo = row == kFocRowOverVoltage ? b->overLo : b->underLo;
        hi = row == kFocRowOverVoltage ? b->overHi : b->underHi;
        return true;
    }
    // The rows between are checked by the nominal voltage, not by their field bounds.
    if (row >= kFocRowNominalVoltage && row < kFocFirstBoundedRow) return false;
    for (const FocField& field : FocFields())
        if (field.row == row) {
            lo = field.lo;
            hi = field.hi;
            return true;
        }
    return false;
}

std::string FocAllowedRange(const ControllerView& v, const ValueCells& cells, int row) {
    const auto& rows = v.Tables().FocSettings().rows;
    int lo = 0, hi = 0;
    if (row < 0 || row >= v.Tables().FocSettings().rowCount || !FocBounds(cells, row, lo, hi)) return std::string();
    return RangeSpan(Format("%d", lo), Format("%d", hi), UnitOf(rows[row]));
}

RowValue FocValueOf(const ControllerView& view, const ValueCells& cells, int row) {
    const ControllerImage& s = view.image;
    RowValue v;
    if (row < 0 || row >= view.Tables().FocSettings().rowCount) return v;
    if (row >= kFocRowRegenEnable && row < kFocRowRegenEnable + kFocRowChoiceCount) {
        // A bit of byte 0, shown as a list entry.
        v.hasWord = true;
        v.word = s.foc.Byte(0);
        return v;
    }
    for (const FocField& field : FocFields())
        if (field.row == row) {
            v.hasWord = true;
            v.word = field.word ? s.foc.Word(field.offset) : s.foc.Byte(field.offset);
            v.numeric = true;
        }
    int lo = 0, hi = 0;
    if (FocBounds(cells, row, lo, hi)) {
        v.bounded = true;
        v.min = lo;
        v.max = hi;
    }
    return v;
}

const KindFacts kFocFacts{ControllerKind::Foc,
                          "foc",
                          "an FOC controller",
                          "ged",
                          kGedFileFilter,  // one for both languages
                          FocBlock::kSize,
                          0,  // no identity: the kind alone tells it
                          REQ_WRITE_FOC,
                          XTX_STATUS_FOC};

// A .ged file: no identity to check it against.
ImportOutcome ImportFoc(ToolState& s, const std::vector<unsigned char>& content) {
    return ImportFile(s, content, FocBlock::kSize, [&](ImportOutcome& out) {
        std::copy(content.begin(), content.begin() + FocBlock::kSize, s.foc.bytes.begin());
        out.rebuildTree = true;
        return true;
    });
}

// The FOC set alone, values in the FocBlock.
class FocKind : public ControllerProfile {
public:
    const KindFacts& Facts() const override { return kFocFacts; }
    std::vector<GridRow> Layout(const ControllerView& v) const override {
        std::vector<GridRow> out;
        const ParamTableSet& set = v.Tables().FocSettings();
        for (int i = 0; i < set.rowCount; ++i) out.push_back({GridSet::Foc, i, &set.rows[i]});
        return out;
    }
    ValueCells Show(const ControllerView& v) const override { return ShowFoc(v); }
    void Store(const Catalogue& c, Language language, ControllerImage& image, const ValueCells& cells) const override {
        StoreFoc({c, image, language}, image.foc, cells);
    }
    // The FOC rules read the cells alone.
    void FollowValues(const Catalogue&, ControllerImage&) const override {}
    ValidationResult Validate(const ControllerView& v, const ValueCells& cells) const override {
        return ValidateFoc(v, cells);
    }
    std::string AllowedRange(const ControllerView& v, const ValueCells& cells, int row) const override {
        return FocAllowedRange(v, cells, row);
    }
    RowValue ValueOf(const ControllerView& v, const ValueCells& cells, int row) const override {
        return FocValueOf(v, cells, row);
    }
    const uint8_t* FirstWriteBlock(const ControllerImage& s) const override { return s.foc.bytes.data(); }
    std::vector<unsigned char> FileBytes(const ControllerImage& s) const override {
        return std::vector<unsigned char>(s.foc.bytes.begin(), s.foc.bytes.end());
    }
    std::vector<uint8_t> WrittenBytes(const ControllerImage& s) const override {
        return std::vector<uint8_t>(s.foc.bytes.begin(), s.foc.bytes.end());
    }
    void ClearWritten(ControllerImage& s) const override { s.foc.bytes.fill(0); }
    ImportOutcome Import(ToolState& s, const std::vector<unsigned char>& content) const override {
        return ImportFoc(s, content);
    }
    void Adopt(ToolState& s, const std::vector<unsigned char>& content) const override {
        std::copy(content.begin(), content.begin() + FocBlock::kSize, s.foc.bytes.begin());
        AdoptKind(s, ControllerKind::Foc);
        s.modelWord = kFocModelWord;
    }
    bool RangesKnown(const ControllerImage&) const override { return true; }
    // The nominal voltage offers the FOC voltages; every other choice is off or on.
    const OptionList& Choices(const ToolState& s, int row, const ParamDescriptor&) const override {
        return row == kFocRowNominalVoltage ? s.lists.focVoltages : s.lists.lists[1];
    }
    uint16_t ModelWord(const ControllerImage&) const override { return kFocModelWord; }
    std::string Variant(const ControllerImage&) const override { return std::string(); }

    // The identity block comes first, as from any controller; the FOC block ends the read.
    ReadStep TakeReadBlock(ControllerImage& s, int block, const std::vector<uint8_t>& payload) const override {
        if (block != kBlockFoc) return StandardProfile().TakeReadBlock(s, block, payload);
        std::copy_n(payload.begin(), std::min(payload.size(), s.foc.bytes.size()), s.foc.bytes.begin());
        return ReadStep::Done;
    }
    ReadVerdict CompleteRead(ToolState&) const override { return {kFocModelWord, true}; }
    // The identity, then the FOC block.
    BlockPlace ReadPlace(int block) const override {
        if (block == kBlockIdentity) return {1, 2};
        return block == kBlockFoc ? BlockPlace{2, 2} : BlockPlace{};
    }
    BlockPlace PlaceOf(int block) const override {
        return block == kBlockFoc ? BlockPlace{1, 1} : StandardWritePlace(block);
    }

    std::vector<GridHeading> Headings(const ControllerView& v) const override {
        const Language lang = v.language;
        return {{0, 0, v.Tables().FocSettings().Title(lang)},
                {1, 1, v.FunctionSettings().Title(lang)},
                {4, 1, v.Tables().ParameterSettings().Title(lang)}};
    }
    std::vector<CellWrite> ChoiceWrites(ToolState&, int row, const std::string& text) const override {
        if (row != kFocRowNominalVoltage) return {};
        for (size_t k = 0; k < kFocNominalVoltages.size(); ++k)
            if (text == kFocNominalVoltages[k])
                return {{kFocRowOverVoltage, kFocVoltagePairs[k][0]}, {kFocRowUnderVoltage, kFocVoltagePairs[k][1]}};
        return {};
    }
    // The FOC rules read the sheet's own cells.
    void FollowSheet(ToolState&, const std::vector<int>&) const override {}
};

}  // namespace

const ControllerProfile& FocProfile() {
    static const FocKind profile;
    return profile;
}

}  // namespace dt
