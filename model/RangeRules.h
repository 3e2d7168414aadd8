#pragma once
// Range rules that guard every numeric row before a download, and the current limits.
#include <string>
#include <utility>

namespace dt {

struct ToolState;
struct ParamDescriptor;

struct CurrentLimits {
    int limitMaxPhase = 0;
    int limitRatedPhase = 0;
    int limitBoost = 0;
    int limitBattery = 0;
    int limitEbs = 0;
};

struct RangeBounds {
    double min = -1;
    double max = -1;
    bool exists() const { return !(min == -1 && max == -1); }
};

struct CheckResult {
    bool valid = true;
    std::string hint;  // "" or the range hint
};

// Bounds of a rule id for the current state, both rounded to one decimal.
// Rule 9 with zero pole pairs has no maximum: returns {1, -1} style "absent" and CheckValue refuses.
RangeBounds RuleBounds(const ToolState& s, int rule);

// Check a cell text against a row's range rule.
CheckResult CheckValue(const ToolState& s, const ParamDescriptor& d, const std::string& text);

// Recomputes s.limits from the identity, the ModelWord and the nominal voltage.
void ComputeCurrentLimits(ToolState& s);

// Voltage of a block word for the range rules (divides by 32767).
double RuleVoltage(const ToolState& s, int wordIndex);

}  // namespace dt
