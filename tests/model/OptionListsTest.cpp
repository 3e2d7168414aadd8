// Option lists, the nominal-voltage list narrowing and the nominal-voltage display and pick.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlockBuilder.h"

namespace dt {
namespace {

using test::IdentityWords;
using test::ReferenceController;
using Texts = std::vector<std::string>;

TEST(OptionLists, BuiltByLanguage) {
    OptionTexts texts;
    ChoiceLists cn, en;
    BuildChoiceLists(cn, texts, LANG_CHINESE);
    BuildChoiceLists(en, texts, LANG_ENGLISH);
    const Texts voltages = {"48", "60", "72", "84", "96", "120"};
    EXPECT_EQ(cn.lists[0], voltages);
    EXPECT_EQ(en.lists[0], voltages);
    EXPECT_EQ(cn.lists[3], (Texts{"120°", "60°"}));
    EXPECT_EQ(en.lists[3], (Texts{"120°", "60°"}));
    EXPECT_EQ(cn.lists[1], (Texts{"0: 关闭", "1: 开启"}));
    EXPECT_EQ(en.lists[1], (Texts{"0:Disable", "1:Enable"}));
    EXPECT_EQ(cn.lists[5], (Texts{"0: 黄绿蓝", "1: 黄蓝绿"}));
    EXPECT_EQ(en.lists[7], (Texts{"0:Hall effect throttle", "1:Potentiometer throttle"}));
    EXPECT_EQ(en.focVoltages, (Texts{"48", "36", "24"}));
    EXPECT_EQ(en.Entry(106, 1), "1:Auto Mode");
    EXPECT_EQ(en.Entry(106, 2), "");
    EXPECT_EQ(en.Entry(108, 0), "");
}

TEST(OptionLists, NominalVoltagesNarrowedByIdentity) {
    struct Case {
        uint16_t modelWord;
        uint16_t voltageClass;
        uint16_t hardwareClass;
        bool open;
        Texts want;
    };
    const Case cases[] = {
        {0x052C, 150, 90, false, {"48", "60", "72", "84", "96", "120"}},
        {0x052C, 149, 90, false, {"48", "60", "72", "84", "96"}},
        {0x052C, 129, 90, false, {"48", "60", "72"}},
        {0x052C, 130, 90, false, {"48", "60", "72", "84", "96"}},
        {0x052C, 130, 90, true, {"48", "60", "72", "84", "96"}},
        {0x052C, 129, 90, true, {"48", "60", "72", "84"}},
        {0x052C, 100, 90, false, {"48", "60", "72"}},
        {0x052C, 100, 90, true, {"48", "60", "72", "84"}},
        {0x052C, 99, 90, false, {"48"}},
        {0x052C, 75, 90, true, {"48", "60"}},
        {0x052C, 74, 90, true, {"48"}},
        {0, 200, 90, false, {"48", "60", "72", "84", "96"}},
        {0, 200, 170, true, {"48"}},
        {0, 200, 91, false, {"48", "60", "72"}},
    };
    for (const Case& c : cases) {
        ToolState s;
        s.modelWord = c.modelWord;
        s.identity.voltageClass = c.voltageClass;
        s.identity.hardwareClass = c.hardwareClass;
        s.identity.variantByte = c.open ? 0x40 : 0x00;
        NarrowVoltageList(s);
        EXPECT_EQ(s.lists.lists[0], c.want) << std::hex << c.modelWord << std::dec << " class " << c.voltageClass
                                            << " hw " << c.hardwareClass << (c.open ? " open" : "");
    }
}

TEST(OptionLists, NominalVoltageShownFromTheMinimumWorkingVoltage) {
    struct Case {
        uint16_t minWorkRaw;   // word 208 with BATT_RATIO 0.033
        uint16_t voltageClass;
        const char* shown;
        VoltageClassState want;
    };
    const int kept = 123;  // a max over-voltage left from before
    const Case cases[] = {
        {9830, 100, "48", {48, 30, 75}},      // 30.0 V
        {16383, 100, "72", {72, 50, 95}},     // 50.0 V
        {18022, 90, "84", {84, 55, kept}},    // 55.0 V
        {18022, 100, "84", {84, 55, 105}},
        {18022, 130, "84", {84, 55, 115}},
        {22937, 100, "120", {120, 70, 145}},  // 70.0 V
        {17039, 100, "Err", {0, 0, 0}},       // 52.0 V matches no preset
    };
    for (const Case& c : cases) {
        IdentityWords id;
        id.voltageClass = c.voltageClass;
        ToolState s = ReferenceController(id);
        s.block.WriteWord(208, c.minWorkRaw);
        s.voltage.maxOverVoltage = kept;
        FollowValues(s);
        EXPECT_EQ(NominalVoltageDisplay(s), c.shown) << c.minWorkRaw;
        EXPECT_EQ(s.voltage.nominalVoltage, c.want.nominalVoltage) << c.minWorkRaw;
        EXPECT_EQ(s.voltage.minWorkVoltage, c.want.minWorkVoltage) << c.minWorkRaw;
        EXPECT_EQ(s.voltage.maxOverVoltage, c.want.maxOverVoltage) << c.minWorkRaw << "/" << c.voltageClass;
    }
}

TEST(OptionLists, NominalVoltagePickWritesPresets) {
    struct Case {
        const char* text;
        uint16_t voltageClass;
        bool matched;
        int maxOver;
        Texts cells;  // parameter rows 7, 8, 9, function row 3, parameter rows 11, 15
    };
    const Texts err(6, "Err");
    const Case cases[] = {
        {"60", 99, true, 75, {"80.0", "76.0", "40.0", "76.0", "52.0", "55.0"}},
        {"60", 100, true, 85, {"80.0", "76.0", "40.0", "76.0", "52.0", "55.0"}},
        {"72", 0, true, 95, {"90.0", "86.0", "50.0", "86.0", "63.0", "66.0"}},
        {"84", 99, true, 77, {"115.0", "100.0", "55.0", "100.0", "73.0", "77.0"}},  // max left as it was
        {"120", 0, true, 145, {"145.0", "115.0", "70.0", "115.0", "105.0", "110.0"}},
        {"50", 100, false, 0, err},
        {" 48", 100, false, 0, err},
    };
    for (const Case& c : cases) {
        ToolState s;
        s.identity.voltageClass = c.voltageClass;
        s.voltage.maxOverVoltage = 77;
        VoltagePick pick = PickNominalVoltage(s, c.text);
        EXPECT_EQ(pick.matched, c.matched) << c.text;
        EXPECT_EQ(Texts(pick.texts, pick.texts + 6), c.cells) << c.text;
        EXPECT_EQ(s.voltage.maxOverVoltage, c.maxOver) << c.text << "/" << c.voltageClass;
    }
    ToolState s;
    const int rows[6] = {7, 8, 9, 51 + 3, 11, 15};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(VoltagePickRow(s, i), rows[i]);
}

}  // namespace
}  // namespace dt
