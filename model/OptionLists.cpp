#include "OptionLists.h"

#include "Gbk.h"
#include "ParamTables.h"

namespace dt {

const std::array<const char*, 6> kNominalVoltages = {"48", "60", "72", "84", "96", "120"};

const std::array<std::array<const char*, 7>, 6> kVoltagePresets = {{
    {"70.0", "60.0", "30.0", "60.0", "42.0", "47.0", "44.0"},
    {"80.0", "76.0", "40.0", "76.0", "52.0", "58.0", "55.0"},
    {"90.0", "86.0", "50.0", "86.0", "63.0", "70.0", "66.0"},
    {"115.0", "100.0", "55.0", "100.0", "73.0", "82.0", "77.0"},
    {"125.0", "115.0", "60.0", "115.0", "83.0", "94.0", "87.0"},
    {"145.0", "115.0", "70.0", "115.0", "105.0", "118.0", "110.0"},
}};

const std::array<const char*, 3> kFocNominalVoltages = {"48", "36", "24"};
const std::array<std::array<const char*, 2>, 3> kFocVoltagePairs = {{
    {"62.0", "42.0"},
    {"52.0", "31.0"},
    {"36.0", "20.0"},
}};

namespace {
// [list][entry] = {Chinese, English}; lists 0 and 3 are language-independent and built separately.
const char* const kChoiceTexts[8][2][2] = {
    {{"", ""}, {"", ""}},
    {{"0: 关闭", "0:Disable"}, {"1: 开启", "1:Enable"}},
    {{"0: 点动", "0:Button"}, {"1: 拨档", "1:Shift"}},
    {{"", ""}, {"", ""}},
    {{"0: 柔性", "0:Hyperbola"}, {"1: 线性", "1:Linear"}},
    {{"0: 黄绿蓝", "0:Y-G-B"}, {"1: 黄蓝绿", "1:Y-B-G"}},
    {{"0: 手动", "0:Manual Mode"}, {"1: 自动", "1:Auto Mode"}},
    {{"0: 霍尔转把", "0:Hall effect throttle"}, {"1: 电阻转把", "1:Potentiometer throttle"}},
};

const char* const kLockStates[2] = {"锁定", "解锁"};
const char* const kMosfetTypes[6] = {"IPB042N10N3", "IPB072N15N3", "STH180N10F3", "STH240N75F3", "MDP1991", "AOB2500L"};
const char* const kMosfetPackages[2] = {"D2PARK", "TO220"};
const char* const kCustomers[13] = {"Marnovo", "Quellan", "Ostrida", "Veltrum", "Dunmere", "预留", "Paskell",
                                    "Rinvale", "Thorsby", "预留",    "Cobrith", "Aldwyn",  "其他"};

template <size_t N>
std::string Pick(const char* const (&list)[N], int index) {
    return index >= 0 && index < static_cast<int>(N) ? list[index] : "";
}
}  // namespace

OptionTexts::OptionTexts() {
    for (int l = 0; l < 8; ++l)
        for (int e = 0; e < 2; ++e)
            for (int lang = 0; lang < 2; ++lang) entries[l][e][lang] = kChoiceTexts[l][e][lang];
}

bool OptionTexts::ApplyOverride(int id, const std::string& gbkText) {
    static const int kListOfPair[6] = {1, 2, 4, 5, 6, 7};
    if (id < 11000 || id > 11011) return false;
    int pair = (id - 11000) / 2;
    int entry = (id - 11000) % 2;
    entries[kListOfPair[pair]][entry][LANG_CHINESE] = SlotText(gbkText, 256);
    return true;
}

std::string ChoiceLists::Entry(int kind, int i) const {
    int l = kind - KIND_NOMINAL_VOLTAGE;
    if (l < 0 || l >= 8 || i < 0 || i >= static_cast<int>(lists[l].size())) return "";
    return lists[l][i];
}

std::string ChoiceText(const OptionTexts& texts, Language lang, int kind, int i) {
    const int l = kind - KIND_NOMINAL_VOLTAGE;
    if (l < 1 || l >= 8 || i < 0 || i >= 2) return "";
    if (l == 3) return i == 0 ? "120°" : "60°";
    return texts.entries[l][i][lang];
}

void BuildChoiceLists(ChoiceLists& out, const OptionTexts& texts, Language lang) {
    for (auto& l : out.lists) l.clear();
    for (const char* v : kNominalVoltages) out.lists[0].push_back(v);
    for (int l = 1; l < 8; ++l)
        for (int e = 0; e < 2; ++e) out.lists[l].push_back(ChoiceText(texts, lang, KIND_NOMINAL_VOLTAGE + l, e));
    out.focVoltages.assign(kFocNominalVoltages.begin(), kFocNominalVoltages.end());
}

std::string LockStateText(int index) { return Pick(kLockStates, index); }
std::string MosfetTypeText(int index) { return Pick(kMosfetTypes, index); }
std::string MosfetPackageText(int index) { return Pick(kMosfetPackages, index); }
std::string CustomerText(int index) { return Pick(kCustomers, index); }

namespace {
// From this voltage class up, the first count entries (openCount with the voltage limit open).
struct ClassEntries {
    int fromClass;
    int count;
    int openCount;
};
constexpr ClassEntries kEntriesByClass[] = {
    {150, 6, 6}, {130, 5, 5}, {100, 3, 4}, {75, 1, 2}, {0, 1, 1},
};
}  // namespace

int NominalVoltageCountByClass(int voltageClass, bool voltageLimitOpen) {
    for (const ClassEntries& e : kEntriesByClass)
        if (voltageClass >= e.fromClass) return voltageLimitOpen ? e.openCount : e.count;
    return 1;
}

int NominalVoltageCountByHardware(int hardwareClass) {
    if (hardwareClass == 90) return 5;
    if (hardwareClass == 170) return 1;
    return 3;
}

void SetVoltageClass(VoltageClassState& state, int k, int voltageClass) {
    static const int kNominal[6] = {48, 60, 72, 84, 96, 120};
    static const int kMinWork[6] = {30, 40, 50, 55, 60, 70};
    if (k < 0 || k >= 6) {
        state = VoltageClassState{};
        return;
    }
    state.nominalVoltage = kNominal[k];
    state.minWorkVoltage = kMinWork[k];
    switch (k) {
    case 0: state.maxOverVoltage = 75; break;
    case 1: state.maxOverVoltage = voltageClass >= 100 ? 85 : 75; break;
    case 2: state.maxOverVoltage = 95; break;
    case 3:
        if (voltageClass >= 130) state.maxOverVoltage = 115;
        else if (voltageClass >= 100) state.maxOverVoltage = 105;
        // otherwise unchanged
        break;
    case 4: state.maxOverVoltage = 125; break;
    case 5: state.maxOverVoltage = 145; break;
    }
}

}  // namespace dt
