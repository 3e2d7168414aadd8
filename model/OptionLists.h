#pragma once
// Option lists of the choice rows, display-only lists, and the battery voltage presets.
#include <array>
#include <string>
#include <vector>

#include "Texts.h"

namespace dt {

using OptionList = std::vector<std::string>;

struct VoltageClassState {
    int nominalVoltage = 0;
    int minWorkVoltage = 0;
    int maxOverVoltage = 0;
};

// Choice texts in both languages, Chinese slot overridable (text.ini 11000..11011).
struct OptionTexts {
    // [list 1..7][entry 0..1][language]
    std::array<std::array<std::array<std::string, 2>, 2>, 8> entries;
    OptionTexts();
    bool ApplyOverride(int id, const std::string& gbkText);
};

struct ChoiceLists {
    std::array<OptionList, 8> lists;  // addressed by kind - 100
    OptionList focVoltages;           // FOC nominal voltages "48", "36", "24"

    const OptionList& ForKind(int kind) const { return lists.at(kind - 100); }
    // Entry i of list kind-100, or "" when out of range.
    std::string Entry(int kind, int i) const;
};

// Entry i of a choice row's list (kinds 101..107) in a language; "" out of range.
std::string ChoiceText(const OptionTexts& texts, Language lang, int kind, int i);
// Fills all eight lists for a language; list 0 gets all six voltages.
void BuildChoiceLists(ChoiceLists& out, const OptionTexts& texts, Language lang);

// Display-only lists (same texts in both languages). Out-of-range or empty slots give "".
std::string LockStateText(int index);
std::string MosfetTypeText(int index);
std::string MosfetPackageText(int index);
std::string CustomerText(int index);

extern const std::array<const char*, 6> kNominalVoltages;  // "48" .. "120"
extern const std::array<std::array<const char*, 7>, 6> kVoltagePresets;
// Preset columns: the voltages a pick writes, and the minimum working voltage that gives the
// nominal voltage shown (column 5 is never written).
enum PresetColumn {
    PRESET_OVER_VOLTAGE = 0,
    PRESET_OVER_VOLTAGE_EXIT = 1,
    PRESET_MIN_WORK_VOLTAGE = 2,
    PRESET_CHARGE_VOLTAGE = 3,
    PRESET_UNDER_VOLTAGE = 4,
    PRESET_SOFT_UNDER_VOLTAGE = 6,
};
extern const std::array<const char*, 3> kFocNominalVoltages;  // "48", "36", "24"
extern const std::array<std::array<const char*, 2>, 3> kFocVoltagePairs;

// How many entries of kNominalVoltages a controller may pick, by its identity.
int NominalVoltageCountByClass(int voltageClass, bool voltageLimitOpen);
int NominalVoltageCountByHardware(int hardwareClass);  // controllers whose ModelWord is 0

// VoltageClassState for nominal row k (0..5) with the given voltageClass; keeps maxOverVoltage where the table says so.
void SetVoltageClass(VoltageClassState& state, int k, int voltageClass);

}  // namespace dt
