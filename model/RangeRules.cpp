#include "RangeRules.h"

#include <cmath>
#include <cstdlib>

#include "ParamTables.h"
#include "ValueCodec.h"

namespace dt {

namespace {
double RoundToTenth(double v) { return LeadingNumber(Format("%.1f", v)); }

int Word(const ControllerImage& s, int index) { return s.block.ReadWord(index); }

bool At120(const ControllerImage& s) { return s.voltage.nominalVoltage == 120; }

// MOSFET type codes (variantLow) as a mask, and the nominal voltage a table row applies at.
constexpr unsigned T(int t) { return 1u << t; }
constexpr unsigned kAnyType = 0xFFFFu;
enum class At { Any, V120, Other };
bool Applies(At at, bool v120) { return at == At::Any || (at == At::V120) == v120; }

// Maximum phase current thresholds of the maximum duration rule, by power stage.
struct DurationThresholds {
    int n;
    unsigned types;
    At at;
    int lo, hi;
};
// clang-format off
constexpr DurationThresholds kDurationThresholds[] = {
    {2, T(0) | T(1) | T(2), At::Any,   130, 150},
    {2, T(3),               At::Any,   150, 170},
    {3, T(0) | T(2),        At::Any,   210, 230},
    {4, T(0),               At::Any,   275, 325},
    {4, T(1),               At::V120,  235, 265},
    {4, T(1),               At::Other, 255, 285},
    {4, T(2),               At::Any,   255, 285},
    {4, T(5),               At::V120,  205, 235},
    {4, T(5),               At::Other, 255, 285},
    {6, T(0),               At::Any,   360, 400},
    {6, T(1) | T(5),        At::V120,  255, 285},
    {6, T(1) | T(5),        At::Other, 305, 335},
    {6, T(2),               At::Any,   140, 160},
    {8, T(0),               At::Any,   525, 575},
    {8, T(1),               At::V120,  425, 475},
    {8, T(1),               At::Other, 375, 425},
    {8, T(2),               At::Any,   475, 525},
    {8, T(5),               At::V120,  325, 375},
    {8, T(5),               At::Other, 375, 425},
};
// clang-format on

// The maximum duration depends on how far the maximum phase current reaches.
int DurationMax(const ControllerImage& s) {
    const Calibration& c = s.calibration;
    double denom = static_cast<double>(c.RdsON_GAIN) * static_cast<double>(c.RdsON) * 32767.0;
    if (denom == 0) return 10;
    const uint16_t amps =
        static_cast<uint16_t>(static_cast<long long>(Word(s, kWordMaxPhaseCurrent) * 16500.0 / denom) & 0xFFFF);
    for (const DurationThresholds& d : kDurationThresholds) {
        if (d.n != s.identity.kindByte || !(d.types & T(s.identity.variantLow)) || !Applies(d.at, At120(s))) continue;
        return amps < d.lo ? 30 : amps < d.hi ? 20 : 10;
    }
    return 10;
}

int VoltageOpenMinimum(int nominal) {
    // With the voltage limit open, 60 V and 84 V controllers may charge lower; every other nominal
    // (including 120 V and none) keeps the ordinary formula.
    if (nominal == 60) return 70;
    if (nominal == 84) return 95;
    return nominal * 57 / 48;
}

int ByMosfetCount(int n) { return n == 3 ? 40 : n == 4 ? 60 : n == 8 ? 80 : 30; }

struct Bounds {
    double min, max;
};

// Rules whose bounds do not depend on anything.
struct FixedRule {
    int id;
    double min, max;
};
// clang-format off
constexpr FixedRule kFixedRules[] = {
    { 6,   0,   4.0}, { 8,   2,  28}, {10, -180, 180}, {16,  0, 125}, {19,  85, 155},
    {22,  20,  55},   {23,  80, 720}, {24,    1, 255}, {25, 45, 100}, {26, 3.8, 4.8},
    {27, 3.5,  4.5},  {28,   0, 1.0}, {29,  0.2, 1.2}, {30, 2.5, 4.0}, {31, 0.5, 1.5},
    {32,   1,   3},   {33, 0.1,  10}, {34,    1,  10}, {35,  1, 100}, {36,   1, 1000},
    {37,   1, 10000}, {38,   2,   4}, {39,   80, 100}, {41, 50, 800}, {42, 100, 800},
    {44,   1,  20},   {46,   0,   2}, {48,   10, 100}, {50,  1,  30}, {51,  90, 600},
    {52,  10, 100},   {99,   0, 30000},
};
// clang-format on

// Rules whose bounds follow the controller, the nominal voltage or other words.
struct DerivedRule {
    RangeRule id;
    Bounds (*bounds)(const ControllerImage& s);
};
#define DT_RULE(id, lo, hi)                    \
    {                                          \
        id, [](const ControllerImage& s) -> Bounds { \
            (void)s;                           \
            return {double(lo), double(hi)};   \
        }                                      \
    }
// clang-format off
constexpr DerivedRule kDerivedRules[] = {
    DT_RULE(RULE_OVER_VOLTAGE,          RuleVoltage(s, kWordOverVoltageExit) + 2.0, s.voltage.maxOverVoltage),
    DT_RULE(RULE_OVER_VOLTAGE_EXIT,     s.voltage.nominalVoltage, RuleVoltage(s, kWordOverVoltage) - 2.0),
    DT_RULE(RULE_CHARGE_VOLTAGE,        s.identity.VoltageLimitOpen() ? VoltageOpenMinimum(s.voltage.nominalVoltage)
                                                                      : s.voltage.nominalVoltage * 57 / 48,
                                        RuleVoltage(s, kWordOverVoltage) - 2.0),
    DT_RULE(RULE_UNDER_VOLTAGE,         s.voltage.nominalVoltage * 38 / 48, s.voltage.nominalVoltage),
    DT_RULE(RULE_UNDER_VOLTAGE_OR_ZERO, s.modelWord == 0 ? 0 : RuleVoltage(s, kWordUnderVoltage) + 1.0,
                                        s.voltage.nominalVoltage),
    DT_RULE(RULE_SOFT_UNDER_VOLTAGE,    RuleVoltage(s, kWordUnderVoltage) + 1.0, s.voltage.nominalVoltage),
    // No pole pairs yet: no speed limit can be derived, so the row is refused (see CheckValue).
    DT_RULE(RULE_RATED_SPEED,           1, Word(s, kWordPolePairs) == 0 ? -1 : 42000 / Word(s, kWordPolePairs)),
    DT_RULE(RULE_MAX_PHASE_CURRENT,     1, s.limits.limitMaxPhase),
    DT_RULE(RULE_RATED_PHASE_CURRENT,   1, s.limits.limitRatedPhase),
    DT_RULE(RULE_EBS_CURRENT,           1, s.limits.limitEbs),
    DT_RULE(RULE_BATTERY_CURRENT,       1, s.limits.limitBattery),
    DT_RULE(RULE_START_PHASE_CURRENT,   1, s.limits.limitRatedPhase),
    DT_RULE(RULE_WORD_224_226,          Word(s, kWordRule17Min), Word(s, kWordRule17Max)),
    DT_RULE(RULE_WORD_225,              0, Word(s, kWordRule18Max)),
    DT_RULE(RULE_MOTOR_TEMP_LEVEL_2,    Word(s, kWordMotorTempLevel1), Word(s, kWordMotorTempMax)),
    DT_RULE(RULE_MOTOR_TEMP_LEVEL_1,    55, Word(s, kWordMotorTempLevel2)),
    DT_RULE(RULE_BY_MOSFET_COUNT,       1, ByMosfetCount(s.identity.kindByte)),
    DT_RULE(RULE_HALF_RATED_PHASE,      10, s.limits.limitRatedPhase / 2),
    DT_RULE(RULE_MAX_CURRENT_DURATION,  1, DurationMax(s)),
    DT_RULE(RULE_BOOST_CURRENT,         1, s.limits.limitBoost),
    DT_RULE(RULE_WORD_118,              70, Word(s, kWordRule53Base) - 10),
    DT_RULE(RULE_SPEED_120_PERCENT,     1, std::trunc(Word(s, kWordRatedSpeed) * 1.2)),
    DT_RULE(RULE_SPEED_UP_TO_RATED,     100, Word(s, kWordRatedSpeed)),
};
// clang-format on
#undef DT_RULE

constexpr bool RuleIdsUnique() {
    for (const FixedRule& f : kFixedRules)
        for (const DerivedRule& d : kDerivedRules)
            if (f.id == d.id) return false;
    return true;
}
static_assert(RuleIdsUnique(), "a rule id is fixed or derived, not both");

Bounds BoundsOf(const ControllerImage& s, int rule) {
    for (const FixedRule& f : kFixedRules)
        if (f.id == rule) return {f.min, f.max};
    for (const DerivedRule& d : kDerivedRules)
        if (d.id == rule) return d.bounds(s);
    return {-1, -1};
}
}  // namespace

double RuleVoltage(const ControllerImage& s, int wordIndex) {
    double denom = static_cast<double>(s.calibration.BATT_RATIO) * 32767.0;
    if (denom == 0) return 0;
    return Word(s, wordIndex) * 3.3 / denom;
}

bool FixedRuleBounds(int rule, RangeBounds& bounds) {
    for (const FixedRule& f : kFixedRules)
        if (f.id == rule) {
            bounds = RangeBounds{RoundToTenth(f.min), RoundToTenth(f.max)};
            return true;
        }
    return false;
}

RangeBounds RuleBounds(const ControllerImage& s, int rule) {
    const Bounds b = BoundsOf(s, rule);
    return RangeBounds{RoundToTenth(b.min), RoundToTenth(b.max)};
}

CheckResult CheckValue(const ControllerView& v, const ParamDescriptor& d, const std::string& text) {
    const ControllerImage& s = v.image;
    CheckResult res;
    if (!s.dataValid || d.range == 0) return res;
    const double value = LeadingNumber(text);
    if (d.range == RULE_POWER_OF_TWO) {
        res.hint = "{2, 4, 8, 16, 32, ……, 32768}";
        res.valid = false;
        for (int i = 1; i <= 15; ++i)
            if (value == static_cast<double>(1 << i)) res.valid = true;
        return res;
    }
    if (d.range == RULE_RATED_SPEED && s.block.ReadWord(kWordPolePairs) == 0) {
        // Dividing by zero pole pairs gives no bound: refuse and point at the row to fix.
        const ParamDescriptor& poles = v.Tables().ParameterSettings().rows.at(kRowPolePairs);
        res.valid = false;
        res.hint = Format("%s = 0", poles.Name(v.language).c_str());
        return res;
    }
    RangeBounds b = RuleBounds(s, d.range);
    if (b.max != -1) res.hint = Format("%.1f ≤ x ≤ %.1f", b.min, b.max);
    res.valid = b.min <= value && value <= b.max;
    return res;
}

namespace {
// Formats whose cells show one decimal; the others show a bound as short as it goes.
bool ShowsOneDecimal(int format) {
    switch (format) {
        case FMT_BATTERY_VOLTS:
        case FMT_EBS_VOLTS:
        case FMT_BATTERY_VOLTS_ALT:
        case FMT_AVERAGE_AMPS:
        case FMT_TENTHS:
        case FMT_PHASE_AMPS:
        case FMT_SECONDS_200:
        case FMT_SECONDS_2000:
        case FMT_THROTTLE_VOLTS:
            return true;
        default:
            return false;
    }
}
}  // namespace

std::string RangeSpan(const std::string& lo, const std::string& hi, const std::string& unit) {
    return lo + " … " + hi + (unit.empty() ? "" : " " + unit);
}

std::string AllowedRangeText(const ControllerView& v, const ParamDescriptor& d) {
    const ControllerImage& s = v.image;
    if (!s.dataValid || d.range == RULE_NONE) return std::string();
    if (d.range == RULE_POWER_OF_TWO || (d.range == RULE_RATED_SPEED && s.block.ReadWord(kWordPolePairs) == 0))
        return CheckValue(v, d, std::string()).hint;
    const RangeBounds b = RuleBounds(s, d.range);
    if (b.max == -1) return std::string();
    const char* format = ShowsOneDecimal(d.format) ? "%.1f" : "%g";
    return RangeSpan(Format(format, b.min), Format(format, b.max), UnitOf(d));
}

namespace {
// Which ModelWords a current-limit set applies to: customer 1 at software version 300 and
// above, ModelWord 0, or customer 1 below version 300. Any other ModelWord has no limits.
enum class Era { V300, ModelWordZero, Before300 };
enum class S6 { Any, Below200, From200 };  // the extraId of a ModelWord-0 controller

struct LimitSet {
    Era era;
    int n;
    unsigned types;
    At at;
    S6 s6;
    CurrentLimits limits;  // max phase, rated phase, boost, battery, EBS
};
// clang-format off
constexpr LimitSet kLimitSets[] = {
    {Era::V300,          2, T(0) | T(2), At::Any,   S6::Any,      {160, 140,  55,  55,  45}},
    {Era::V300,          2, T(3),        At::Any,   S6::Any,      {180, 160,  60,  60,  45}},
    {Era::V300,          3, T(0) | T(2), At::Any,   S6::Any,      {220, 200,  80,  80,  60}},
    {Era::V300,          3, T(3),        At::Any,   S6::Any,      {240, 220,  95,  95,  60}},
    {Era::V300,          4, T(0) | T(2), At::Any,   S6::Any,      {330, 300, 200, 200,  80}},
    {Era::V300,          4, T(3),        At::Any,   S6::Any,      {350, 320, 200, 200,  80}},
    {Era::V300,          4, T(1) | T(5), At::V120,  S6::Any,      {210, 180, 130,  90,  60}},
    {Era::V300,          4, T(1) | T(5), At::Other, S6::Any,      {270, 240, 120, 120,  60}},
    {Era::V300,          8, T(0) | T(2), At::Any,   S6::Any,      {500, 450, 260, 260, 100}},
    {Era::V300,          8, T(3),        At::Any,   S6::Any,      {550, 500, 300, 300, 100}},
    {Era::V300,          8, T(1) | T(5), At::V120,  S6::Any,      {370, 340, 130, 130,  80}},
    {Era::V300,          8, T(1) | T(5), At::Other, S6::Any,      {450, 400, 150, 150,  80}},
    {Era::V300,         16, T(0) | T(2), At::Any,   S6::Any,      {750, 700, 300, 300, 120}},
    {Era::V300,         16, T(1) | T(5), At::V120,  S6::Any,      {550, 500, 210, 210, 100}},
    {Era::V300,         16, T(1) | T(5), At::Other, S6::Any,      {650, 600, 250, 250, 100}},
    {Era::ModelWordZero, 4, kAnyType,    At::Any,   S6::Below200, {320, 300,   0, 200,  80}},
    {Era::ModelWordZero, 4, kAnyType,    At::Any,   S6::From200,  {320, 300,   0, 110,  80}},
    {Era::ModelWordZero, 8, kAnyType,    At::Any,   S6::Below200, {500, 450,   0, 260, 100}},
    {Era::ModelWordZero, 8, kAnyType,    At::Any,   S6::From200,  {500, 450,   0, 180, 100}},
    {Era::Before300,     4, T(0),        At::Any,   S6::Below200, {320, 300,   0, 200,  80}},
    {Era::Before300,     4, T(0),        At::Any,   S6::From200,  {320, 300,   0, 110,  80}},
    {Era::Before300,     8, T(0),        At::Any,   S6::Any,      {500, 450,   0, 260, 100}},
    {Era::Before300,     8, T(1),        At::Any,   S6::Any,      {450, 400,   0, 150, 100}},
    {Era::Before300,     8, T(2),        At::Any,   S6::Any,      {450, 400,   0, 200, 100}},
    {Era::Before300,     8, T(3),        At::Any,   S6::Any,      {550, 500,   0, 300, 100}},
    {Era::Before300,    16, T(0),        At::Any,   S6::Any,      {850, 800, 400, 400, 120}},
    {Era::Before300,    16, T(1),        At::V120,  S6::Any,      {550, 500, 300, 300, 100}},
    {Era::Before300,    16, T(1),        At::Other, S6::Any,      {700, 650, 350, 350, 100}},
};
// clang-format on

bool Applies(S6 rule, int s6) { return rule == S6::Any || (rule == S6::Below200) == (s6 < 200); }

// False when the ModelWord has no current limits at all.
bool EraOf(uint16_t modelWord, Era& era) {
    const bool customer1 = (modelWord & 0xFC00) == 0x0400;
    if (modelWord == 0) era = Era::ModelWordZero;
    else era = (modelWord & 0x3FF) >= 300 ? Era::V300 : Era::Before300;
    return modelWord == 0 || customer1;
}
}  // namespace

void ComputeCurrentLimits(ControllerImage& s) {
    s.limits = CurrentLimits{};
    Era era;
    if (!EraOf(s.modelWord, era)) return;
    const ControllerIdentity& id = s.identity;
    for (const LimitSet& set : kLimitSets) {
        if (set.era != era || set.n != id.kindByte || !(set.types & T(id.variantLow))) continue;
        if (!Applies(set.at, At120(s)) || !Applies(set.s6, id.extraId)) continue;
        s.limits = set.limits;
        return;
    }
}

}  // namespace dt
