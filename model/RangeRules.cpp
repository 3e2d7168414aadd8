#include "RangeRules.h"

#include <cmath>
#include <cstdlib>

#include "ParamTables.h"
#include "ToolState.h"
#include "ValueCodec.h"

namespace dt {

namespace {
double RoundToTenth(double v) { return LeadingNumber(Format("%.1f", v)); }

int Word(const ToolState& s, int index) { return s.block.ReadWord(index); }

bool At120(const ToolState& s) { return s.voltage.nominalVoltage == 120; }

// Rule 47: the maximum duration depends on how far the maximum phase current reaches.
int DurationMax(const ToolState& s) {
    const Calibration& c = s.calibration;
    double denom = static_cast<double>(c.RdsON_GAIN) * static_cast<double>(c.RdsON) * 32767.0;
    if (denom == 0) return 10;
    uint16_t amps = static_cast<uint16_t>(static_cast<long long>(Word(s, 218) * 16500.0 / denom) & 0xFFFF);
    const int n = s.identity.kindByte;
    const int t = s.identity.variantLow;
    const bool v120 = At120(s);
    int lo = -1, hi = -1;
    auto set = [&](int l, int h) { lo = l; hi = h; };
    switch (n) {
        case 2:
            if (t <= 2) set(130, 150);
            else if (t == 3) set(150, 170);
            break;
        case 3:
            if (t == 0 || t == 2) set(210, 230);
            break;
        case 4:
            if (t == 0) set(275, 325);
            else if (t == 1) v120 ? set(235, 265) : set(255, 285);
            else if (t == 2) set(255, 285);
            else if (t == 5) v120 ? set(205, 235) : set(255, 285);
            break;
        case 6:
            if (t == 0) set(360, 400);
            else if (t == 1 || t == 5) v120 ? set(255, 285) : set(305, 335);
            else if (t == 2) set(140, 160);
            break;
        case 8:
            if (t == 0) set(525, 575);
            else if (t == 1) v120 ? set(425, 475) : set(375, 425);
            else if (t == 2) set(475, 525);
            else if (t == 5) v120 ? set(325, 375) : set(375, 425);
            break;
        default: break;
    }
    if (lo < 0) return 10;
    if (amps < lo) return 30;
    if (amps < hi) return 20;
    return 10;
}

int VoltageOpenMinimum(int nominal) {
    // With the voltage limit open, 60 V and 84 V controllers may charge lower; every other nominal
    // (including 120 V and none) keeps the ordinary formula.
    if (nominal == 60) return 70;
    if (nominal == 84) return 95;
    return nominal * 57 / 48;
}
}  // namespace

double RuleVoltage(const ToolState& s, int wordIndex) {
    double denom = static_cast<double>(s.calibration.BATT_RATIO) * 32767.0;
    if (denom == 0) return 0;
    return Word(s, wordIndex) * 3.3 / denom;
}

RangeBounds RuleBounds(const ToolState& s, int rule) {
    const VoltageClassState& vc = s.voltage;
    const CurrentLimits& lim = s.limits;
    double mn = -1, mx = -1;
    auto r = [&](double a, double b) { mn = a; mx = b; };
    switch (rule) {
        case 1: r(RuleVoltage(s, 207) + 2.0, vc.maxOverVoltage); break;
        case 2: r(vc.nominalVoltage, RuleVoltage(s, 206) - 2.0); break;
        case 3:
            r(s.identity.VoltageLimitOpen() ? VoltageOpenMinimum(vc.nominalVoltage) : vc.nominalVoltage * 57 / 48,
              RuleVoltage(s, 206) - 2.0);
            break;
        case 4: r(vc.nominalVoltage * 38 / 48, vc.nominalVoltage); break;
        case 5: r(s.modelWord == 0 ? 0 : RuleVoltage(s, 209) + 1.0, vc.nominalVoltage); break;
        case 6: r(0, 4.0); break;
        case 7: r(RuleVoltage(s, 209) + 1.0, vc.nominalVoltage); break;
        case 8: r(2, 28); break;
        case 9:
            // No pole pairs yet: no speed limit can be derived, so the row is refused (see CheckValue).
            if (Word(s, 202) == 0) return RangeBounds{1, -1};
            r(1, 42000 / Word(s, 202));
            break;
        case 10: r(-180, 180); break;
        case 11: r(1, lim.limitMaxPhase); break;
        case 12: r(1, lim.limitRatedPhase); break;
        case 13: r(1, lim.limitEbs); break;
        case 14: r(1, lim.limitBattery); break;
        case 15: r(1, lim.limitRatedPhase); break;
        case 16: r(0, 125); break;
        case 17: r(Word(s, 226), Word(s, 224)); break;
        case 18: r(0, Word(s, 225)); break;
        case 19: r(85, 155); break;
        case 20: r(Word(s, 230), Word(s, 228)); break;
        case 21: r(55, Word(s, 229)); break;
        case 22: r(20, 55); break;
        case 23: r(80, 720); break;
        case 24: r(1, 255); break;
        case 25: r(45, 100); break;
        case 26: r(3.8, 4.8); break;
        case 27: r(3.5, 4.5); break;
        case 28: r(0, 1.0); break;
        case 29: r(0.2, 1.2); break;
        case 30: r(2.5, 4.0); break;
        case 31: r(0.5, 1.5); break;
        case 32: r(1, 3); break;
        case 33: r(0.1, 10); break;
        case 34: r(1, 10); break;
        case 35: r(1, 100); break;
        case 36: r(1, 1000); break;
        case 37: r(1, 10000); break;
        case 38: r(2, 4); break;
        case 39: r(80, 100); break;
        case 40: {
            int n = s.identity.kindByte;
            r(1, n == 3 ? 40 : n == 4 ? 60 : n == 8 ? 80 : 30);
            break;
        }
        case 41: r(50, 800); break;
        case 42: r(100, 800); break;
        case 44: r(1, 20); break;
        case 45: r(10, lim.limitRatedPhase / 2); break;
        case 46: r(0, 2); break;
        case 47: r(1, DurationMax(s)); break;
        case 48: r(10, 100); break;
        case 49: r(1, lim.limitBoost); break;
        case 50: r(1, 30); break;
        case 51: r(90, 600); break;
        case 52: r(10, 100); break;
        case 53: r(70, Word(s, 118) - 10); break;
        case 54: r(1, std::trunc(Word(s, 203) * 1.2)); break;
        case 55: r(100, Word(s, 203)); break;
        case 99: r(0, 30000); break;
        default: break;
    }
    return RangeBounds{RoundToTenth(mn), RoundToTenth(mx)};
}

CheckResult CheckValue(const ToolState& s, const ParamDescriptor& d, const std::string& text) {
    CheckResult res;
    if (!s.dataValid || d.range == 0) return res;
    const double v = LeadingNumber(text);
    if (d.range == 100) {
        res.hint = "{2, 4, 8, 16, 32, ……, 32768}";
        res.valid = false;
        for (int i = 1; i <= 15; ++i)
            if (v == static_cast<double>(1 << i)) res.valid = true;
        return res;
    }
    if (d.range == 9 && s.block.ReadWord(202) == 0) {
        // Dividing by zero pole pairs gives no bound: refuse and point at the row to fix.
        const ParamDescriptor& poles = s.tables.ParameterSettings.rows.at(3);
        res.valid = false;
        res.hint = Format("%s = 0", poles.Name(s.language).c_str());
        return res;
    }
    RangeBounds b = RuleBounds(s, d.range);
    if (b.max != -1) res.hint = Format("%.1f ≤ x ≤ %.1f", b.min, b.max);
    res.valid = b.min <= v && v <= b.max;
    return res;
}

void ComputeCurrentLimits(ToolState& s) {
    CurrentLimits& L = s.limits;
    L = CurrentLimits{};
    const uint16_t v = s.modelWord;
    const int sw = v & 0x3FF;
    const bool customer1 = (v & 0xFC00) == 0x0400;
    const int n = s.identity.kindByte;
    const int t = s.identity.variantLow;
    const bool v120 = At120(s);
    const int s6 = s.identity.extraId;
    auto set = [&](int maxPhase, int rated, int boost, int battery, int ebs) {
        L = CurrentLimits{maxPhase, rated, boost, battery, ebs};
    };
    const bool t02 = t == 0 || t == 2;
    const bool t15 = t == 1 || t == 5;

    if (v != 0 && sw >= 300) {
        if (!customer1) return;
        switch (n) {
            case 2:
                if (t02) set(160, 140, 55, 55, 45);
                else if (t == 3) set(180, 160, 60, 60, 45);
                break;
            case 3:
                if (t02) set(220, 200, 80, 80, 60);
                else if (t == 3) set(240, 220, 95, 95, 60);
                break;
            case 4:
                if (t02) set(330, 300, 200, 200, 80);
                else if (t == 3) set(350, 320, 200, 200, 80);
                else if (t15) v120 ? set(210, 180, 130, 90, 60) : set(270, 240, 120, 120, 60);
                break;
            case 8:
                if (t02) set(500, 450, 260, 260, 100);
                else if (t == 3) set(550, 500, 300, 300, 100);
                else if (t15) v120 ? set(370, 340, 130, 130, 80) : set(450, 400, 150, 150, 80);
                break;
            case 16:
                if (t02) set(750, 700, 300, 300, 120);
                else if (t15) v120 ? set(550, 500, 210, 210, 100) : set(650, 600, 250, 250, 100);
                break;
            default: break;
        }
        return;
    }
    if (v == 0) {
        if (n == 4) set(320, 300, 0, s6 < 200 ? 200 : 110, 80);
        else if (n == 8) set(500, 450, 0, s6 < 200 ? 260 : 180, 100);
        return;
    }
    if (!customer1) return;
    switch (n) {
        case 4:
            if (t == 0) set(320, 300, 0, s6 < 200 ? 200 : 110, 80);
            break;
        case 8:
            if (t == 0) set(500, 450, 0, 260, 100);
            else if (t == 1) set(450, 400, 0, 150, 100);
            else if (t == 2) set(450, 400, 0, 200, 100);
            else if (t == 3) set(550, 500, 0, 300, 100);
            break;
        case 16:
            if (t == 0) set(850, 800, 400, 400, 120);
            else if (t == 1) v120 ? set(550, 500, 300, 300, 100) : set(700, 650, 350, 350, 100);
            break;
        default: break;
    }
}

}  // namespace dt
