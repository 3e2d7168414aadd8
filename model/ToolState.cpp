#include "ToolState.h"

#include <iterator>

#include "RangeRules.h"
#include "ValueCodec.h"

namespace dt {

ToolState::ToolState() : catalogue(BuiltInCatalogue()) { BuildChoiceLists(lists, catalogue->optionTexts, language); }

namespace {
uint8_t LowByte(uint16_t x) { return static_cast<uint8_t>(x & 0xFF); }
uint8_t HighByte(uint16_t x) { return static_cast<uint8_t>(x >> 8); }

bool CalibrationComplete(const Calibration& c) {
    return c.RdsON != 0 && c.RdsON_GAIN != 0 && c.AVG_REV != 0 && c.BATT_RATIO != 0 && c.EBS_REV != 0;
}
}  // namespace

bool ParseIdentity(ControllerImage& s) {
    auto W = [&](int i) { return s.block.SectionWord(0, i); };
    ControllerIdentity& id = s.identity;

    s.modelWord = W(kIdWordModel);
    if (s.modelWord == 0) {
        id.hardwareClass = LowByte(W(kIdWordKind));
        id.kindByte = HighByte(W(kIdWordKind));
        id.extraId = W(kIdWordExtraId);
    } else {
        id.hardwareClass = W(kIdWordHardwareClass);
        id.voltageClass = W(kIdWordVoltageClass);
        id.kindByte = LowByte(W(kIdWordKind));
        id.variantByte = HighByte(W(kIdWordKind));
    }
    id.variantLow = id.variantByte & 0x0F;
    id.variantHigh = id.variantByte & 0xF0;

    ComputeCurrentLimits(s);
    s.calibration = CalibrationFromWords(W(kIdWordRdsOn), W(kIdWordRdsOnGain), W(kIdWordAvgRev), W(kIdWordBattRatio),
                                         W(kIdWordEbsRev));

    bool ok = id.kindByte != 0 && id.hardwareClass != 0;
    if (s.modelWord != 0) ok = ok && id.voltageClass != 0;
    ok = ok && CalibrationComplete(s.calibration);
    ok = ok && s.block.ReadWord(kWordPolePairs) != 0;
    if (s.modelWord != 0) ok = ok && VersionMatches(s.modelWord);
    return ok;
}

void NarrowVoltageList(ToolState& s) {
    OptionList& list = s.lists.lists[0];
    list.clear();
    const int count = s.modelWord != 0
                          ? NominalVoltageCountByClass(s.identity.voltageClass, s.identity.VoltageLimitOpen())
                          : NominalVoltageCountByHardware(s.identity.hardwareClass);
    for (int i = 0; i < count; ++i) list.push_back(kNominalVoltages[i]);
}

void SelectFunctionVariant(ToolState& s) {
    s.variant = VariantFor(s.modelWord);
    NarrowVoltageList(s);
}

namespace {
// Where a nominal-voltage pick writes, in pick order: the preset column and the row
// (of ParameterSettings, or of FunctionSettings).
struct PresetTarget {
    PresetColumn column;
    bool functionRow;
    int row;
};
constexpr PresetTarget kPresetTargets[] = {
    {PRESET_OVER_VOLTAGE, false, kRowOverVoltage},        {PRESET_OVER_VOLTAGE_EXIT, false, kRowOverVoltageExit},
    {PRESET_MIN_WORK_VOLTAGE, false, kRowMinWorkVoltage}, {PRESET_CHARGE_VOLTAGE, true, kFunctionRowChargeVoltage},
    {PRESET_UNDER_VOLTAGE, false, kRowUnderVoltage},      {PRESET_SOFT_UNDER_VOLTAGE, false, kRowSoftUnderVoltage},
};
static_assert(std::size(kPresetTargets) == sizeof(VoltagePick::texts) / sizeof(std::string), "one target per text");

// The voltage class of preset row k (none for -1) and the current limits that follow from it: the
// limit tables differ at 120 V, so they are never computed before the class is known.
void TakeVoltageClass(ControllerImage& s, int k) {
    if (k < 0) s.voltage = VoltageClassState{};
    else SetVoltageClass(s.voltage, k, s.identity.voltageClass);
    ComputeCurrentLimits(s);
}

// The preset row k whose key is text, or -1.
template <typename Key>
int PresetRow(const std::string& text, Key key) {
    for (int k = 0; k < static_cast<int>(kNominalVoltages.size()); ++k)
        if (text == key(k)) return k;
    return -1;
}

// The preset row whose minimum working voltage the blocks hold, or -1.
int MinWorkPresetRow(const Catalogue& c, const ControllerImage& image) {
    const std::string minWork = FormatValue(image, c.tables.ParameterSettings().rows.at(kRowMinWorkVoltage));
    return PresetRow(minWork, [](int r) { return kVoltagePresets[r][PRESET_MIN_WORK_VOLTAGE]; });
}
}  // namespace

std::string NominalVoltageDisplay(const ControllerView& v) {
    const int k = MinWorkPresetRow(v.catalogue, v.image);
    return k < 0 ? "Err" : kNominalVoltages[k];
}

void FollowMinWorkVoltage(const Catalogue& c, ControllerImage& image) {
    TakeVoltageClass(image, MinWorkPresetRow(c, image));
}

VoltagePick PickNominalVoltage(ControllerImage& s, const std::string& text) {
    VoltagePick pick;
    const int k = PresetRow(text, [](int r) { return kNominalVoltages[r]; });
    TakeVoltageClass(s, k);
    if (k < 0) {
        for (auto& t : pick.texts) t = "Err";
        return pick;
    }
    pick.matched = true;
    for (size_t i = 0; i < std::size(kPresetTargets); ++i) pick.texts[i] = kVoltagePresets[k][kPresetTargets[i].column];
    return pick;
}

int VoltagePickRow(const ToolState& s, int i) {
    if (i < 0 || i >= static_cast<int>(std::size(kPresetTargets))) return -1;
    const PresetTarget& t = kPresetTargets[i];
    return t.functionRow ? s.Tables().ParameterSettings().rowCount + t.row : t.row;
}

}  // namespace dt
