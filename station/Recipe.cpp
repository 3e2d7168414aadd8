#include "Recipe.h"

#include <QCryptographicHash>
#include <QString>
#include <algorithm>

#include "ControllerProfile.h"
#include "Identity.h"

namespace dt::station {

namespace {

// The words that name a model: kind and variant bytes, hardware class, voltage class, model word.
constexpr int kModelWords[] = {kIdWordKind, kIdWordHardwareClass, kIdWordVoltageClass, kIdWordModel};

bool Editable(const GridRow& r) { return r.desc->kind != 0 && r.desc->read_only == 0; }

// The nominal-voltage row of the kind: the one choice whose pick writes other cells.
constexpr int kNominalVoltageKind = 100;

}  // namespace

std::string Sha256Hex(const std::vector<unsigned char>& bytes) {
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().toStdString();
}

std::string HashRefusal(const ToolState& base, const std::string& expected, const std::vector<unsigned char>& bytes) {
    if (expected.empty()) return std::string();
    const std::string actual = Sha256Hex(bytes);
    if (QString::fromStdString(expected).compare(QString::fromStdString(actual), Qt::CaseInsensitive) == 0)
        return std::string();
    return FillIn(base.Extra(XTX_PROGRAM_RECIPE_HASH), actual, expected);
}

bool Recipe::Load(const ToolState& base, const ControllerProfile& file, const std::vector<unsigned char>& bytes,
                  std::string& why) {
    ToolState& s = *state_;
    s = base;
    if (bytes.size() < file.Facts().fileSize) {
        why = s.Message(MSG_IMPORT_LENGTH_ERROR);
        return false;
    }
    bytes_ = bytes;
    sha256_ = Sha256Hex(bytes);
    file.Adopt(s, bytes);
    if (!file.RangesKnown(s)) {
        why = s.Extra(XTX_PROGRAM_RECIPE_NOT_VALID);
        return false;
    }
    FollowValues(s);
    cells_ = ShowValues(s);
    // The range check a download of the file itself would make.
    StoreValues(s, cells_);
    const ValidationResult checked = ValidateAll(s, cells_);
    if (checked.refused) why = checked.message;
    return !checked.refused;
}

uint16_t Recipe::IdentityWord(int i) const {
    return ProfileOf(*state_).Facts().identityBytes == 0 ? 0 : state_->block.SectionWord(0, i);
}

std::string GateRefusal(const Recipe& recipe, const ToolState& unit) {
    if (recipe.Kind() != unit.kind) return unit.Extra(XTX_PROGRAM_WRONG_KIND);
    // A kind with no identity words is told by its kind alone.
    if (ProfileOf(unit).Facts().identityBytes == 0) return std::string();
    std::vector<int> words(std::begin(kModelWords), std::end(kModelWords));
    if (recipe.IdentityWord(kIdWordModel) == 0) words.push_back(kIdWordExtraId);
    for (int w : words)
        if (unit.block.SectionWord(0, w) != recipe.IdentityWord(w))
            return FillIn(unit.Extra(XTX_PROGRAM_WRONG_MODEL), std::to_string(w));
    // Its values cannot be shown or stored without a valid calibration.
    if (!unit.dataValid) return unit.Extra(XTX_PROGRAM_NOT_VALID);
    return std::string();
}

void FillLikeTechnician(const Recipe& recipe, ToolState& unit) {
    const ControllerProfile& profile = ProfileOf(unit);
    const std::vector<GridRow> rows = GridLayout(unit);
    std::vector<int> changed;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].desc->kind != kNominalVoltageKind || !Editable(rows[i])) continue;
        const int row = static_cast<int>(i);
        const std::string& text = CellText(recipe.Cells(), row);
        unit.sheet.SetCell(row, text);
        for (const CellWrite& w : profile.ChoiceWrites(unit, row, text)) unit.sheet.SetCell(w.row, w.text);
        changed.push_back(row);
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!Editable(rows[i]) || rows[i].desc->kind == kNominalVoltageKind) continue;
        unit.sheet.SetCell(static_cast<int>(i), CellText(recipe.Cells(), static_cast<int>(i)));
        changed.push_back(static_cast<int>(i));
    }
    profile.FollowSheet(unit, changed);
}

std::vector<RoundedRow> RoundedRows(const Recipe& recipe, ToolState& unit) {
    const std::vector<GridRow> rows = GridLayout(unit);
    FollowValues(unit);
    const ValueCells shown = ShowValues(unit);
    std::vector<RoundedRow> out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        if (!Editable(rows[i]) || CellText(shown, row) == CellText(recipe.Cells(), row)) continue;
        out.push_back({row, rows[i].desc->Name(unit.language), CellText(recipe.Cells(), row), CellText(shown, row)});
    }
    return out;
}

}  // namespace dt::station
