// Range rules and current limits: the bounds a download is held to, with the hint texts
// a technician reads when a value is refused.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "BlockBuilder.h"
#include "GridPasses.h"
#include "ControllerProfile.h"
#include "RangeRules.h"
#include "ValueCodec.h"

namespace dt {
namespace {

using test::IdentityWords;
using test::ReferenceController;

struct Bounds {
    int rule;
    double min;
    double max;
};

void ExpectBounds(const ToolState& s, const Bounds& b) {
    RangeBounds got = RuleBounds(s, b.rule);
    EXPECT_DOUBLE_EQ(got.min, b.min) << "rule " << b.rule;
    EXPECT_DOUBLE_EQ(got.max, b.max) << "rule " << b.rule;
}

ParamDescriptor RuleRow(int rule) {
    ParamDescriptor d;
    d.kind = KIND_NUMBER;
    d.word = 300;
    d.range = static_cast<int16_t>(rule);
    return d;
}

TEST(RangeRules, FixedBounds) {
    const Bounds fixed[] = {
        {6, 0, 4},        {8, 2, 28},       {10, -180, 180},  {16, 0, 125},     {19, 85, 155},
        {22, 20, 55},     {23, 80, 720},    {24, 1, 255},     {25, 45, 100},    {26, 3.8, 4.8},
        {27, 3.5, 4.5},   {28, 0, 1},       {29, 0.2, 1.2},   {30, 2.5, 4},     {31, 0.5, 1.5},
        {32, 1, 3},       {33, 0.1, 10},    {34, 1, 10},      {35, 1, 100},     {36, 1, 1000},
        {37, 1, 10000},   {38, 2, 4},       {39, 80, 100},    {41, 50, 800},    {42, 100, 800},
        {44, 1, 20},      {46, 0, 2},       {48, 10, 100},    {50, 1, 30},      {51, 90, 600},
        {52, 10, 100},    {99, 0, 30000},   {43, -1, -1},     {56, -1, -1},     {0, -1, -1},
    };
    ToolState s = ReferenceController();
    for (const Bounds& b : fixed) ExpectBounds(s, b);
}

TEST(RangeRules, BoundsFollowTheControllerAndOtherWords) {
    // 72 V reference controller: 8 MOSFETs of type 1, version 300, limits 450/400/150/150/80.
    ToolState s = ReferenceController();
    ASSERT_EQ(NominalVoltageDisplay(s), "72");
    const Bounds state[] = {
        {1, 88.0, 95},   // V(word 207) = 86.0 V, + 2; max over-voltage of 72 V
        {2, 72, 88.0},   // V(word 206) = 90.0 V, - 2
        {3, 85, 88.0},   // voltage limit open, 72 V: 72 × 57 / 48
        {4, 57, 72},     {5, 64.0, 72},   {7, 64.0, 72},  // V(word 209) = 63.0 V, + 1
        {9, 1, 10500},   {11, 1, 450},    {12, 1, 400},   {13, 1, 80},    {14, 1, 150},
        {15, 1, 400},    {45, 10, 200},   {49, 1, 150},   {17, 0, 0},     {18, 0, 0},
        {20, 100, 130},  {21, 55, 110},   {40, 1, 80},    {47, 1, 20},    {53, 70, -10},
        {54, 1, 4800},   {55, 100, 4000},
    };
    for (const Bounds& b : state) ExpectBounds(s, b);

    s.modelWord = 0;
    ExpectBounds(s, {5, 0, 72});
    s.block.WriteWord(203, 4001);
    ExpectBounds(s, {54, 1, 4801});  // ⌊4801.2⌋
}

TEST(RangeRules, CheckValueAndHints) {
    struct Case {
        int rule;
        const char* text;
        bool valid;
        const char* hint;
    };
    const char* powers = "{2, 4, 8, 16, 32, ……, 32768}";
    const Case cases[] = {
        {10, "-180", true, "-180.0 ≤ x ≤ 180.0"},  {10, "180", true, "-180.0 ≤ x ≤ 180.0"},
        {10, "180.05", false, "-180.0 ≤ x ≤ 180.0"}, {8, "1", false, "2.0 ≤ x ≤ 28.0"},
        {8, "2", true, "2.0 ≤ x ≤ 28.0"},          {8, "28", true, "2.0 ≤ x ≤ 28.0"},
        {8, "29", false, "2.0 ≤ x ≤ 28.0"},        {26, "4.85", false, "3.8 ≤ x ≤ 4.8"},
        {100, "64", true, powers},                 {100, "48", false, powers},
        {100, "1", false, powers},                 {100, "2", true, powers},
        {100, "32768", true, powers},              {100, "65536", false, powers},
        {43, "5", false, ""},                      {43, "-1", true, ""},
        {0, "anything", true, ""},
    };
    ToolState s = ReferenceController();
    for (const Case& c : cases) {
        CheckResult r = CheckValue(s, RuleRow(c.rule), c.text);
        EXPECT_EQ(r.valid, c.valid) << c.rule << " " << c.text;
        EXPECT_EQ(r.hint, c.hint) << c.rule << " " << c.text;
    }

    s.dataValid = false;  // before any upload everything passes without a hint
    CheckResult r = CheckValue(s, RuleRow(8), "99");
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.hint, "");
}

TEST(RangeRules, RatedSpeedFollowsPolePairsAndRefusesZero) {
    ToolState s = ReferenceController();
    s.block.WriteWord(202, 7);
    ExpectBounds(s, {9, 1, 6000});
    EXPECT_TRUE(CheckValue(s, RuleRow(9), "6000").valid);
    EXPECT_FALSE(CheckValue(s, RuleRow(9), "6001").valid);

    // Zero pole pairs: no division, the row is refused with a hint that names the cause.
    s.block.WriteWord(202, 0);
    EXPECT_DOUBLE_EQ(RuleBounds(s, 9).max, -1);
    CheckResult r = CheckValue(s, RuleRow(9), "4000");
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.hint, "Number of pole pairs = 0");
    EXPECT_FALSE(CheckValue(s, RuleRow(9), "-1").valid);
    s.language = LANG_CHINESE;
    EXPECT_EQ(CheckValue(s, RuleRow(9), "4000").hint, "极对数 = 0");
}

// 120 % of the rated speed is cut to whole rpm, never rounded up: 4004 rpm allows 4804, not 4805.
TEST(RangeRules, TheSpeedRuleOf120PercentCutsTheFraction) {
    ToolState s = ReferenceController();
    s.block.WriteWord(203, 4004);
    EXPECT_TRUE(CheckValue(s, RuleRow(RULE_SPEED_120_PERCENT), "4804").valid);
    EXPECT_FALSE(CheckValue(s, RuleRow(RULE_SPEED_120_PERCENT), "4805").valid);
}

TEST(RangeRules, TheBoundByMosfetCount) {
    const struct {
        uint8_t kindByte;
        double max;
    } cases[] = {{2, 30}, {3, 40}, {4, 60}, {8, 80}, {16, 30}};
    for (const auto& c : cases) {
        IdentityWords id;
        id.kindByte = c.kindByte;
        ExpectBounds(ReferenceController(id), {RULE_BY_MOSFET_COUNT, 1, c.max});
    }
}

TEST(RangeRules, ChargeVoltageMinimumWithAndWithoutTheVoltageLimitOpen) {
    struct Case {
        int nominal;
        bool open;
        double min;
    };
    const Case cases[] = {
        {60, false, 71}, {60, true, 70},   {84, false, 99}, {84, true, 95},  {48, true, 57},
        {72, true, 85},  {96, true, 114},  {120, true, 142}, {120, false, 142}, {0, true, 0},
    };
    ToolState s = ReferenceController();
    for (const Case& c : cases) {
        s.voltage.nominalVoltage = c.nominal;
        s.identity.variantByte = c.open ? 0x41 : 0x01;
        EXPECT_DOUBLE_EQ(RuleBounds(s, 3).min, c.min) << c.nominal << (c.open ? " open" : "");
    }
    s.voltage.nominalVoltage = 84;
    ExpectBounds(s, {4, 66, 84});
}

TEST(RangeRules, MaximumPhaseCurrentDuration) {
    // RdsON 0.5, gain 1: word 218 = w gives ⌊w × 16500 / (0.5 × 32767)⌋ amperes.
    struct Case {
        int n, t, nominal;
        uint16_t word218;  // amperes in the comment
        double max;
    };
    const Case cases[] = {
        {4, 0, 72, 273, 30},   // 274 A
        {4, 0, 72, 274, 20},   // 275 A
        {4, 0, 72, 322, 20},   // 324 A
        {4, 0, 72, 323, 10},   // 325 A
        {4, 1, 120, 249, 20},  // 250 A, (235, 265) at 120 V
        {4, 1, 72, 249, 30},   // 250 A, (255, 285) otherwise
        {4, 3, 72, 1, 10},     // no thresholds for this pair
        {8, 2, 72, 470, 30},   // 473 A below (475, 525)
    };
    IdentityWords id;
    id.rdsOn = 500;
    id.rdsOnGain = 1;
    ToolState s = ReferenceController(id);
    for (const Case& c : cases) {
        s.identity.kindByte = static_cast<uint8_t>(c.n);
        s.identity.variantLow = static_cast<uint8_t>(c.t);
        s.voltage.nominalVoltage = c.nominal;
        s.block.WriteWord(218, c.word218);
        EXPECT_DOUBLE_EQ(RuleBounds(s, 47).max, c.max) << c.n << "/" << c.t << " word " << c.word218;
    }
}

TEST(RangeRules, CurrentLimitsByPowerStage) {
    struct Case {
        uint16_t modelWord;
        int n, t, nominal, s6;
        CurrentLimits want;  // max phase, rated phase, boost, battery, EBS
    };
    const uint16_t v300 = 0x052C, v250 = 0x04FA;  // customer 1, versions 300 and 250
    const CurrentLimits kNone{0, 0, 0, 0, 0};  // written out: a changed default must show
    const Case cases[] = {
        {v300, 2, 0, 72, 0, {160, 140, 55, 55, 45}},   {v300, 2, 1, 72, 0, kNone},
        {v300, 3, 3, 72, 0, {240, 220, 95, 95, 60}},   {v300, 4, 5, 120, 0, {210, 180, 130, 90, 60}},
        {v300, 4, 5, 72, 0, {270, 240, 120, 120, 60}}, {v300, 8, 3, 72, 0, {550, 500, 300, 300, 100}},
        {v300, 16, 1, 120, 0, {550, 500, 210, 210, 100}}, {v300, 16, 3, 72, 0, kNone},
        {0x092C, 8, 0, 72, 0, kNone},                     // customer 2
        {0, 4, 9, 72, 199, {320, 300, 0, 200, 80}},    {0, 4, 9, 72, 200, {320, 300, 0, 110, 80}},
        {0, 8, 1, 72, 250, {500, 450, 0, 180, 100}},   {0, 2, 0, 72, 0, kNone},
        {v250, 4, 0, 72, 250, {320, 300, 0, 110, 80}}, {v250, 4, 1, 72, 0, kNone},
        {v250, 8, 0, 72, 250, {500, 450, 0, 260, 100}}, {v250, 8, 2, 72, 0, {450, 400, 0, 200, 100}},
        {v250, 16, 0, 72, 0, {850, 800, 400, 400, 120}}, {v250, 16, 1, 120, 0, {550, 500, 300, 300, 100}},
        {v250, 16, 1, 72, 0, {700, 650, 350, 350, 100}}, {0x08FA, 8, 0, 72, 0, kNone},
    };
    ToolState s;
    for (const Case& c : cases) {
        s.modelWord = c.modelWord;
        s.identity.kindByte = static_cast<uint8_t>(c.n);
        s.identity.variantLow = static_cast<uint8_t>(c.t);
        s.identity.extraId = static_cast<uint16_t>(c.s6);
        s.voltage.nominalVoltage = c.nominal;
        s.limits = CurrentLimits{1, 1, 1, 1, 1};  // stale values must not survive
        ComputeCurrentLimits(s);
        SCOPED_TRACE(testing::Message() << std::hex << c.modelWord << std::dec << " n " << c.n << " t " << c.t);
        EXPECT_EQ(s.limits.limitMaxPhase, c.want.limitMaxPhase);
        EXPECT_EQ(s.limits.limitRatedPhase, c.want.limitRatedPhase);
        EXPECT_EQ(s.limits.limitBoost, c.want.limitBoost);
        EXPECT_EQ(s.limits.limitBattery, c.want.limitBattery);
        EXPECT_EQ(s.limits.limitEbs, c.want.limitEbs);
    }
}

// Every current-limit set of the power-stage tables, copied row by row: each set with every
// MOSFET type it covers, so a shifted or mistyped entry fails here.
TEST(RangeRules, EveryCurrentLimitSet) {
    struct Set {
        uint16_t modelWord;
        int n;
        std::vector<int> types;
        int nominal, s6;
        int maxPhase, rated, boost, battery, ebs;
    };
    const uint16_t v300 = 0x0400 | 300, v299 = 0x0400 | 299;  // customer 1
    const Set sets[] = {
        // version 300 and above
        {v300, 2, {0, 2}, 72, 0, 160, 140, 55, 55, 45},
        {v300, 2, {3}, 72, 0, 180, 160, 60, 60, 45},
        {v300, 3, {0, 2}, 72, 0, 220, 200, 80, 80, 60},
        {v300, 3, {3}, 72, 0, 240, 220, 95, 95, 60},
        {v300, 4, {0, 2}, 72, 0, 330, 300, 200, 200, 80},
        {v300, 4, {3}, 72, 0, 350, 320, 200, 200, 80},
        {v300, 4, {1, 5}, 120, 0, 210, 180, 130, 90, 60},
        {v300, 4, {1, 5}, 96, 0, 270, 240, 120, 120, 60},
        {v300, 8, {0, 2}, 72, 0, 500, 450, 260, 260, 100},
        {v300, 8, {3}, 72, 0, 550, 500, 300, 300, 100},
        {v300, 8, {1, 5}, 120, 0, 370, 340, 130, 130, 80},
        {v300, 8, {1, 5}, 84, 0, 450, 400, 150, 150, 80},
        {v300, 16, {0, 2}, 72, 0, 750, 700, 300, 300, 120},
        {v300, 16, {1, 5}, 120, 0, 550, 500, 210, 210, 100},
        {v300, 16, {1, 5}, 48, 0, 650, 600, 250, 250, 100},
        // ModelWord 0, any type
        {0, 4, {0, 1, 7}, 72, 199, 320, 300, 0, 200, 80},
        {0, 4, {0, 1, 7}, 72, 200, 320, 300, 0, 110, 80},
        {0, 8, {0, 3, 15}, 72, 199, 500, 450, 0, 260, 100},
        {0, 8, {0, 3, 15}, 72, 200, 500, 450, 0, 180, 100},
        // below version 300, customer 1
        {v299, 4, {0}, 72, 199, 320, 300, 0, 200, 80},
        {v299, 4, {0}, 72, 200, 320, 300, 0, 110, 80},
        {v299, 8, {0}, 72, 300, 500, 450, 0, 260, 100},
        {v299, 8, {1}, 72, 0, 450, 400, 0, 150, 100},
        {v299, 8, {2}, 72, 0, 450, 400, 0, 200, 100},
        {v299, 8, {3}, 72, 0, 550, 500, 0, 300, 100},
        {v299, 16, {0}, 120, 0, 850, 800, 400, 400, 120},
        {v299, 16, {1}, 120, 0, 550, 500, 300, 300, 100},
        {v299, 16, {1}, 60, 0, 700, 650, 350, 350, 100},
    };
    ASSERT_EQ(std::size(sets), 28u);
    ToolState s;
    for (const Set& set : sets) {
        for (int t : set.types) {
            s.modelWord = set.modelWord;
            s.identity.kindByte = static_cast<uint8_t>(set.n);
            s.identity.variantLow = static_cast<uint8_t>(t);
            s.identity.extraId = static_cast<uint16_t>(set.s6);
            s.voltage.nominalVoltage = set.nominal;
            s.limits = CurrentLimits{1, 1, 1, 1, 1};
            ComputeCurrentLimits(s);
            SCOPED_TRACE(testing::Message() << std::hex << set.modelWord << std::dec << " n " << set.n << " t " << t
                                            << " at " << set.nominal << " V, s6 " << set.s6);
            EXPECT_EQ(s.limits.limitMaxPhase, set.maxPhase);
            EXPECT_EQ(s.limits.limitRatedPhase, set.rated);
            EXPECT_EQ(s.limits.limitBoost, set.boost);
            EXPECT_EQ(s.limits.limitBattery, set.battery);
            EXPECT_EQ(s.limits.limitEbs, set.ebs);
        }
    }
}

// The 120 V column of the limit tables is the set's own class: a 120 V set read for the first
// time is held to it at once, and a second read changes nothing.
TEST(RangeRules, TheFirstReadOfA120VoltSetHoldsItToThe120VoltLimits) {
    IdentityWords id;
    id.kindByte = 4;
    id.voltageClass = 150;  // every nominal voltage up to 120 V
    ToolState s;
    WriteIdentity(s.block, id);
    for (const auto& [index, value] : test::Reference72VWords()) s.block.WriteWord(index, value);
    s.block.WriteWord(208, 22937);  // minimum working voltage 70.0 V: a 120 V pack
    const ParamDescriptor maxPhase = RuleRow(RULE_MAX_PHASE_CURRENT);
    for (int read = 1; read <= 2; ++read) {
        SCOPED_TRACE(read);
        test::CompleteUpload(s);
        EXPECT_EQ(s.voltage.nominalVoltage, 120);
        EXPECT_EQ(s.limits.limitMaxPhase, 210);
        const CheckResult r = CheckValue(s, maxPhase, "270");
        EXPECT_FALSE(r.valid);
        EXPECT_EQ(r.hint, "1.0 ≤ x ≤ 210.0");
    }
}

TEST(RangeRules, RatedPhaseLimitRefusesOneAmpereTooMany) {
    IdentityWords id;
    id.variantByte = 0x43;  // type 3
    ToolState s = ReferenceController(id);
    ASSERT_EQ(s.limits.limitRatedPhase, 500);
    CheckResult r = CheckValue(s, RuleRow(12), "501");
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.hint, "1.0 ≤ x ≤ 500.0");
    EXPECT_TRUE(CheckValue(s, RuleRow(12), "500").valid);
}

// The line shown while editing: the row's own format and unit, the refusal's texts for ranges
// that are no interval, nothing without a range or before a read.
TEST(RangeRules, AllowedRangeText) {
    ToolState s = ReferenceController();
    ASSERT_EQ(NominalVoltageDisplay(s), "72");
    ParamDescriptor volts = RuleRow(1);
    volts.format = FMT_BATTERY_VOLTS;
    volts.name_en = "High voltage protection value (V)";
    EXPECT_EQ(AllowedRangeText(s, volts), "88.0 … 95.0 V");
    ParamDescriptor plain = RuleRow(41);
    plain.name_en = "Acceleration (rpm/s)";
    EXPECT_EQ(AllowedRangeText(s, plain), "50 … 800 rpm/s");
    ParamDescriptor tenths = RuleRow(26);
    tenths.format = FMT_THROTTLE_VOLTS;
    EXPECT_EQ(AllowedRangeText(s, tenths), "3.8 … 4.8");
    EXPECT_EQ(AllowedRangeText(s, RuleRow(100)), "{2, 4, 8, 16, 32, ……, 32768}");
    EXPECT_EQ(AllowedRangeText(s, RuleRow(0)), "");
    EXPECT_EQ(AllowedRangeText(s, RuleRow(43)), "") << "a rule id without bounds";
    s.dataValid = false;
    EXPECT_EQ(AllowedRangeText(s, volts), "");
}

// What a script is told of a row: the word beneath it and the bounds the check holds it to;
// none where the check has no interval to give.
TEST(RangeRules, ValueOfAGridRowForScripts) {
    ToolState s = ReferenceController();
    constexpr int kRatedSpeedRow = 4;
    s.block.WriteWord(202, 14);  // pole pairs
    const ValueCells cells = ShowValues(s);
    RowValue v = StandardProfile().ValueOf(s, cells, kRatedSpeedRow);
    EXPECT_TRUE(v.hasWord);
    EXPECT_TRUE(v.numeric);
    ASSERT_TRUE(v.bounded);
    EXPECT_EQ(v.min, 1);
    EXPECT_EQ(v.max, 3000);
    s.block.WriteWord(202, 0);  // no pole pairs: no speed limit, though the identity is valid
    ASSERT_TRUE(s.dataValid);
    v = StandardProfile().ValueOf(s, cells, kRatedSpeedRow);
    EXPECT_FALSE(v.bounded);
    EXPECT_TRUE(v.hasWord);
}

// Only the rows a download checks get a line, and only while the sheet's rows are this kind's.
TEST(RangeRules, AllowedRangeOfGridRows) {
    ToolState s = ReferenceController();
    ASSERT_EQ(NominalVoltageDisplay(s), "72");
    // A catalogue of the test's own, changed below.
    const auto catalogue = std::make_shared<Catalogue>(*s.catalogue);
    s.catalogue = catalogue;
    ParamTableSet& set = catalogue->tables.EditSets().ParameterSettings;
    int choice = -1;
    for (int i = kFirstValueRow; i < set.rowCount && choice < 0; ++i)
        if (IsChoiceKind(set.rows[i].kind)) choice = i;
    ASSERT_GT(choice, 0);
    set.rows[choice].range = 41;
    s.sheet.Layout(ControllerKind::Standard, set.rowCount + s.FunctionSettings().rowCount);
    EXPECT_EQ(AllowedRangeNow(s, choice), "");
    set.rows[choice].kind = KIND_NUMBER;
    set.rows[choice].name_en = "Acceleration (rpm/s)";
    EXPECT_EQ(AllowedRangeNow(s, choice), "50 … 800 rpm/s");
    s.sheet.Layout(ControllerKind::Foc, s.Tables().FocSettings().rowCount);
    EXPECT_EQ(AllowedRangeNow(s, choice), "") << "cells of the other kind";
}

}  // namespace
}  // namespace dt
