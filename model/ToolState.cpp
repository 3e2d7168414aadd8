#include "ToolState.h"

#include "ValueCodec.h"

namespace dt {

ToolState::ToolState() { BuildChoiceLists(lists, optionTexts, language); }

bool ParseIdentity(ToolState& s) {
    auto W = [&](int i) { return s.block.SectionWord(0, i); };
    auto lo = [](uint16_t x) { return static_cast<uint8_t>(x & 0xFF); };
    auto hi = [](uint16_t x) { return static_cast<uint8_t>(x >> 8); };
    ControllerIdentity& id = s.identity;

    s.modelWord = W(15);
    if (s.modelWord == 0) {
        id.hardwareClass = lo(W(0));
        id.kindByte = hi(W(0));
        id.extraId = W(6);
    } else {
        id.hardwareClass = W(11);
        id.voltageClass = W(12);
        id.kindByte = lo(W(0));
        id.variantByte = hi(W(0));
    }
    id.variantLow = id.variantByte & 0x0F;
    id.variantHigh = id.variantByte & 0xF0;

    ComputeCurrentLimits(s);
    s.calibration = CalibrationFromWords(W(4), W(5), W(8), W(9), W(10));

    const Calibration& c = s.calibration;
    bool ok = id.kindByte != 0 && id.hardwareClass != 0;
    if (s.modelWord != 0) ok = ok && id.voltageClass != 0;
    ok = ok && c.RdsON != 0 && c.RdsON_GAIN != 0 && c.AVG_REV != 0 && c.BATT_RATIO != 0 && c.EBS_REV != 0;
    ok = ok && s.block.SectionWord(2, 2) != 0;
    if (s.modelWord != 0) ok = ok && VersionMatches(s.modelWord);
    return ok;
}

void NarrowVoltageList(ToolState& s) {
    OptionList& list = s.lists.lists[0];
    list.clear();
    auto add = [&](int count) {
        for (int i = 0; i < count; ++i) list.push_back(kNominalVoltages[i]);
    };
    const bool open = s.identity.VoltageLimitOpen();
    if (s.modelWord != 0) {
        const int vc = s.identity.voltageClass;
        if (vc >= 150) add(6);
        else if (vc >= 130) add(5);
        else if (vc >= 100) add(open ? 4 : 3);
        else if (vc >= 75) add(open ? 2 : 1);
        else add(1);
    } else {
        const int hc = s.identity.hardwareClass;
        if (hc == 90) add(5);
        else if (hc == 170) add(1);
        else add(3);
    }
}

void SelectFunctionVariant(ToolState& s) {
    s.tables.SelectVariant(s.modelWord);
    NarrowVoltageList(s);
}

std::string NominalVoltageDisplay(ToolState& s) {
    const std::string minWork = FormatValue(s, s.tables.ParameterSettings.rows.at(9));
    for (int k = 0; k < 6; ++k) {
        if (minWork == kVoltagePresets[k][2]) {
            SetVoltageClass(s.voltage, k, s.identity.voltageClass);
            return kNominalVoltages[k];
        }
    }
    s.voltage = VoltageClassState{};
    return "Err";
}

VoltagePick PickNominalVoltage(ToolState& s, const std::string& text) {
    static const int kColumns[6] = {0, 1, 2, 3, 4, 6};
    VoltagePick pick;
    for (int k = 0; k < 6; ++k) {
        if (text == kNominalVoltages[k]) {
            SetVoltageClass(s.voltage, k, s.identity.voltageClass);
            pick.matched = true;
            for (int i = 0; i < 6; ++i) pick.texts[i] = kVoltagePresets[k][kColumns[i]];
            return pick;
        }
    }
    s.voltage = VoltageClassState{};
    for (auto& t : pick.texts) t = "Err";
    return pick;
}

int VoltagePickRow(const ToolState& s, int i) {
    static const int kRows[6] = {7, 8, 9, -1, 11, 15};
    if (i == 3) return s.tables.ParameterSettings.rowCount + 3;
    return i >= 0 && i < 6 ? kRows[i] : -1;
}

}  // namespace dt
