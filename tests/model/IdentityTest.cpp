// Identity parse, the version rule and the function-set variant a controller gets.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "BlockBuilder.h"

namespace dt {
namespace {

using test::IdentityWords;
using test::ReferenceController;
using test::WriteIdentity;

TEST(Identity, VersionRuleAndVariantByModelWord) {
    struct Case {
        uint16_t modelWord;
        bool versionMatches;
        FunctionVariant variant;
    };
    const Case cases[] = {
        {0x04D2, true, FunctionVariant::A},   // customer 1, version 210
        {0x0539, true, FunctionVariant::B},   // version 313
        {0x0400 + 299, true, FunctionVariant::A},
        {0x0400 + 300, true, FunctionVariant::B},
        {0x04D1, false, FunctionVariant::A},  // 209
        {0x053A, false, FunctionVariant::B},  // 314
        {0x08D2, false, FunctionVariant::B},  // customer 2
        {0x0800 + 100, false, FunctionVariant::B},
        {0x0000, false, FunctionVariant::A},  // accepted without the rule by its callers
        {0xFFFF, false, FunctionVariant::B},  // nothing read yet
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VersionMatches(c.modelWord), c.versionMatches) << std::hex << c.modelWord;
        EXPECT_EQ(VariantFor(c.modelWord), c.variant) << std::hex << c.modelWord;
    }
}

TEST(Identity, SwitchingToVariantATakesItsRowsAndGroups) {
    ToolState s;  // variant B at start
    EXPECT_EQ(s.FunctionSettings().rowCount, 39);
    EXPECT_EQ(s.FunctionSettings().groupCount, 7);
    s.modelWord = 0;
    SelectFunctionVariant(s);
    const ParamTableSet& f = s.FunctionSettings();
    EXPECT_EQ(f.rowCount, 31);
    EXPECT_EQ(f.groupCount, 6);
    EXPECT_EQ(f.rows[11].name_en, "Speed limit ratio (%)");
    EXPECT_EQ(f.groups[1].title_en, "Speed Limit Settings");
    EXPECT_EQ(f.GroupFirstRow(5), 29);
}

TEST(Identity, EveryRecordOfVariantABelongsToTheGroupThatHoldsIt) {
    ToolState s;
    s.modelWord = 0;
    SelectFunctionVariant(s);
    const ParamTableSet& f = s.FunctionSettings();
    EXPECT_EQ(f.GroupOfRecord(0), -1);  // the title
    EXPECT_EQ(f.GroupOfRecord(1), 0);
    EXPECT_EQ(f.GroupOfRecord(28), 4);
    EXPECT_EQ(f.GroupOfRecord(29), 5);
    EXPECT_EQ(f.GroupOfRecord(30), 5);
    EXPECT_EQ(f.GroupOfRecord(31), -1);  // left from B, in no shown group
    EXPECT_EQ(f.GroupOfRecord(-1), -1);
}

TEST(Identity, ParseOfAStandardController) {
    ToolState s = ReferenceController();
    EXPECT_TRUE(s.dataValid);
    EXPECT_EQ(s.modelWord, 0x052C);
    EXPECT_EQ(s.identity.kindByte, 8);
    EXPECT_EQ(s.identity.variantByte, 0x41);
    EXPECT_EQ(s.identity.variantLow, 0x01);
    EXPECT_EQ(s.identity.variantHigh, 0x40);
    EXPECT_EQ(s.identity.hardwareClass, 90);
    EXPECT_EQ(s.identity.voltageClass, 100);
    // 32-bit products with the single-precision 0.001.
    EXPECT_EQ(s.calibration.RdsON, 3.0f * 0.001f);
    EXPECT_EQ(s.calibration.RdsON_GAIN, 100.0f);
    EXPECT_EQ(s.calibration.AVG_REV, 0.125f);
    EXPECT_EQ(s.calibration.BATT_RATIO, 33.0f * 0.001f);
    EXPECT_EQ(s.calibration.EBS_REV, 100.0f * 0.001f);
    EXPECT_EQ(s.limits.limitMaxPhase, 450);
    EXPECT_EQ(s.limits.limitRatedPhase, 400);
    EXPECT_EQ(s.limits.limitBattery, 150);
    EXPECT_EQ(s.variant, FunctionVariant::B);
}

TEST(Identity, ModelWordZeroReadsWordZeroTheOtherWayRound) {
    ToolState s = ReferenceController();  // leaves voltage class 100 and flags 0x41 behind
    IdentityWords old;
    old.modelWord = 0;
    old.kindByte = 4;
    old.hardwareClass = 90;
    old.voltageClass = 0;
    old.extraId = 250;
    WriteIdentity(s.block, old);
    EXPECT_TRUE(ParseIdentity(s));  // no voltage class and no version rule for these
    EXPECT_EQ(s.identity.kindByte, 4);
    EXPECT_EQ(s.identity.hardwareClass, 90);
    EXPECT_EQ(s.identity.extraId, 250);
    EXPECT_EQ(s.identity.voltageClass, 100);  // kept from the last parse
    EXPECT_EQ(s.identity.variantByte, 0x41);
    EXPECT_EQ(s.limits.limitBattery, 110);    // extraId 250 ≥ 200

    WriteIdentity(s.block, IdentityWords{});
    EXPECT_TRUE(ParseIdentity(s));
    EXPECT_EQ(s.identity.extraId, 250);  // only a ModelWord-0 controller sets it
}

TEST(Identity, VerdictFailsOnAnyMissingValue) {
    const std::pair<const char*, std::function<void(IdentityWords&)>> faults[] = {
        {"no MOSFET count", [](IdentityWords& w) { w.kindByte = 0; }},
        {"no hardware class", [](IdentityWords& w) { w.hardwareClass = 0; }},
        {"no voltage class", [](IdentityWords& w) { w.voltageClass = 0; }},
        {"RdsON 0", [](IdentityWords& w) { w.rdsOn = 0; }},
        {"RdsON_GAIN 0", [](IdentityWords& w) { w.rdsOnGain = 0; }},
        {"AVG_REV 0", [](IdentityWords& w) { w.avgRev = 0; }},
        {"BATT_RATIO 0", [](IdentityWords& w) { w.battRatio = 0; }},
        {"EBS_REV 0", [](IdentityWords& w) { w.ebsRev = 0; }},
        {"version 314", [](IdentityWords& w) { w.modelWord = 0x053A; }},
        {"customer 2", [](IdentityWords& w) { w.modelWord = 0x08D2; }},
    };
    for (const auto& [what, fault] : faults) {
        IdentityWords w;
        fault(w);
        EXPECT_FALSE(ReferenceController(w).dataValid) << what;
    }
    ToolState s = ReferenceController();
    s.block.WriteWord(202, 0);  // no pole pairs
    EXPECT_FALSE(ParseIdentity(s));
}

}  // namespace
}  // namespace dt
