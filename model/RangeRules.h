#pragma once
// Range rules that guard every numeric row before a download, and the current limits.
#include <string>
#include <utility>

#include "Catalogue.h"
#include "ControllerImage.h"

namespace dt {


// Range rule ids (the `range` field of a table row) that depend on the controller or on
// other words. The fixed ones are rows of the fixed-bounds table in RangeRules.cpp.
enum RangeRule : int16_t {
    RULE_NONE = 0,
    RULE_OVER_VOLTAGE = 1,
    RULE_OVER_VOLTAGE_EXIT = 2,
    RULE_CHARGE_VOLTAGE = 3,
    RULE_UNDER_VOLTAGE = 4,
    RULE_UNDER_VOLTAGE_OR_ZERO = 5,
    RULE_SOFT_UNDER_VOLTAGE = 7,
    RULE_RATED_SPEED = 9,  // divides by the pole pairs
    RULE_MAX_PHASE_CURRENT = 11,
    RULE_RATED_PHASE_CURRENT = 12,
    RULE_EBS_CURRENT = 13,
    RULE_BATTERY_CURRENT = 14,
    RULE_START_PHASE_CURRENT = 15,
    RULE_WORD_224_226 = 17,
    RULE_WORD_225 = 18,
    RULE_MOTOR_TEMP_LEVEL_2 = 20,
    RULE_MOTOR_TEMP_LEVEL_1 = 21,
    RULE_BY_MOSFET_COUNT = 40,
    RULE_HALF_RATED_PHASE = 45,
    RULE_MAX_CURRENT_DURATION = 47,
    RULE_BOOST_CURRENT = 49,
    RULE_WORD_118 = 53,
    RULE_SPEED_120_PERCENT = 54,
    RULE_SPEED_UP_TO_RATED = 55,
    RULE_POWER_OF_TWO = 100,
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
RangeBounds RuleBounds(const ControllerImage& image, int rule);

// Bounds of a rule that depends on nothing; false for derived rules and ids without a rule.
bool FixedRuleBounds(int rule, RangeBounds& bounds);

// Check a cell text against a row's range rule.
CheckResult CheckValue(const ControllerView& v, const ParamDescriptor& d, const std::string& text);

// The range CheckValue holds a row to, as "78.0 … 85.0 V" in the row's format and unit; "" for
// a row without a range or before a read. Ranges of no interval read as the refusal shows them.
std::string AllowedRangeText(const ControllerView& v, const ParamDescriptor& d);
// "lo … hi unit", without the unit when there is none.
std::string RangeSpan(const std::string& lo, const std::string& hi, const std::string& unit);

// Recomputes image.limits from the identity, the ModelWord and the nominal voltage.
void ComputeCurrentLimits(ControllerImage& image);

// Voltage of a block word for the range rules (divides by 32767).
double RuleVoltage(const ControllerImage& image, int wordIndex);

}  // namespace dt
