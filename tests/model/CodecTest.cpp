// Value codec on realistic calibration: raw words to the texts a technician sees and back.
// Expected texts are worked out by hand from the formulas with the single-precision factors.
#include <gtest/gtest.h>

#include <string>

#include "BlockBuilder.h"
#include "ValueCodec.h"

namespace dt {
namespace {

using test::ReferenceController;

ParamDescriptor Row(int format, int word = 300) {
    ParamDescriptor d;
    d.kind = KIND_NUMBER;
    d.word = static_cast<int16_t>(word);
    d.format = static_cast<int16_t>(format);
    return d;
}

TEST(Blocks, WordMappingGuardsTheIdentitySection) {
    ParameterBlock b;
    b.WriteWord(206, 0x1234);
    EXPECT_EQ(b.bytes[512 + 12], 0x12);  // section 2 word 6, high byte first
    EXPECT_EQ(b.bytes[512 + 13], 0x34);
    EXPECT_EQ(b.ReadWord(206), 0x1234);
    b.WriteWord(399, 0xBEEF);
    EXPECT_EQ(b.SectionWord(3, 99), 0xBEEF);

    b.SetSectionWord(0, 5, 100);
    b.WriteWord(5, 7);     // identity words are never written
    b.WriteWord(-1, 7);    // nor negative indexes
    b.WriteWord(400, 7);   // nor indexes past section 3
    EXPECT_EQ(b.ReadWord(5), 100);
    EXPECT_EQ(b.ReadWord(-3), 0);
    EXPECT_EQ(b.ReadWord(400), 0);
    int nonZero = 0;
    for (uint8_t byte : b.bytes) nonZero += byte != 0;
    EXPECT_EQ(nonZero, 5);  // 0x12 0x34, 0xBE 0xEF, 100

    FocBlock f;
    f.SetWord(22, 0x0132);
    EXPECT_EQ(f.bytes[22], 0x32);  // little-endian
    EXPECT_EQ(f.bytes[23], 0x01);
    f.SetWord(31, 0xFFFF);         // would run past the block
    EXPECT_EQ(f.Word(31), 0);
}

struct FormatCase {
    int format;
    uint16_t raw;
    uint16_t next;  // the following word (format 21)
    const char* shown;
};

TEST(ValueCodec, FormatsShowHandComputedTexts) {
    // RdsON 0.003, RdsON_GAIN 100, AVG_REV 0.125, BATT_RATIO 0.033, EBS_REV 0.1.
    const FormatCase cases[] = {
        {0, 4000, 0, "4000"},          {1, 29491, 0, "90.0"},     {1, 16383, 0, "50.0"},
        {1, 29016, 0, "88.5"},  // 88.6 if the display divided by 32767
        {9, 10, 0, "0.0"},      // 10 × 0.005f lies just below 0.05
        {2, 860, 0, "86.0"},           {3, 655, 0, "2.0"},        {4, 480, 0, "60.0"},
        {5, 123, 0, "12.3"},           {6, 238, 0, "399.5"},      {6, 208, 0, "349.1"},
        {7, 1, 0, "60°"},              {7, 2, 0, "120°"},         {7, 0, 0, "120°"},
        {8, 0xE000, 0, "-45"},         {8, 91, 0, "0"},           {8, 92, 0, "1"},
        {8, 0x8000, 0, "-180"},        {8, 0, 0, "0"},            {9, 2000, 0, "10.0"},
        {10, 3000, 0, "1.5"},          {11, 58167, 0, "4.3"},     {11, 6763, 0, "0.5"},
        {12, 12, 0, "0.012"},          {12, 125, 0, "0.125"},     {13, 150, 0, "0.00015"},
        {13, 0, 0, "0."},              {14, 100, 0, "10"},        {14, 5, 0, "0.5"},
        {15, 0x8000, 0, "解锁"},       {15, 0x4000, 0, "锁定"},   {16, 0x4000, 0, "解锁"},
        {17, 0x0541, 0, "AOB2500L"},   {17, 0x0641, 0, ""},       {18, 0x0083, 0, "18"},
        {19, 0x0400, 0, "Quellan"},    {19, 0x3000, 0, "其他"},   {19, 0x3400, 0, ""},
        {20, 0x04D2, 0, "210"},        {21, 2014, 1231, "201412"}, {22, 0x2000, 0, "解锁"},
        {23, 0x0083, 0, "TO220"},      {23, 0x0003, 0, "D2PARK"}, {24, 77, 0, "77"},
    };
    ToolState s = ReferenceController();
    ASSERT_TRUE(s.dataValid);
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " raw " << c.raw);
        s.block.WriteWord(300, c.raw);
        s.block.WriteWord(301, c.next);
        EXPECT_EQ(FormatValue(s, Row(c.format)), c.shown);
    }
}

TEST(ValueCodec, NothingIsShownWithoutValidData) {
    ToolState s = ReferenceController();
    s.dataValid = false;
    s.block.WriteWord(300, 1234);
    for (int format = 0; format <= 24; ++format) EXPECT_EQ(FormatValue(s, Row(format)), "") << format;
}

struct ParseCase {
    int format;
    const char* text;
    uint16_t stored;
};

TEST(ValueCodec, EditedTextsParseToRawWords) {
    const ParseCase cases[] = {
        {0, "12.7", 12},     {0, "abc", 0},       {0, "-1", 0xFFFF},   {0, "70000", 4464},
        {1, "90", 29491},    {3, "2", 655},       {2, "86", 859},      {4, "55", 440},
        {5, "12.3", 123},    {6, "400", 238},     {7, "60°", 1},       {7, "60", 0},
        {8, "-45", 0xE000},  {8, "45", 8192},     {8, "1", 182},       {8, "-1", 65354},
        {9, "5", 1000},      {10, "1.5", 3000},   {11, "4.3", 58167},  {12, "7.9", 7},
        {20, "210", 210},    {1, "  90", 29491},
        // Absurd lengths saturate at the long range; the angle is then worked out exactly.
        {8, "99999999999999999999", 1274}, {8, "-99999999999999999999", 64080},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " text " << c.text);
        ToolState s = ReferenceController();
        s.block.WriteWord(300, 3);  // shows something else, so the text counts as edited
        StoreText(s, Row(c.format), c.text);
        EXPECT_EQ(s.block.ReadWord(300), c.stored);
    }
}

TEST(ValueCodec, UnchangedTextNeverDrifts) {
    ToolState s = ReferenceController();
    // 86.0 / 0.1f is 859.99..., so a parse would lose a count; the shown text is kept as is.
    s.block.WriteWord(300, 860);
    StoreText(s, Row(2), "86.0");
    EXPECT_EQ(s.block.ReadWord(300), 860);
    s.block.WriteWord(300, 123);
    StoreText(s, Row(5), "12.3");
    EXPECT_EQ(s.block.ReadWord(300), 123);
    s.block.WriteWord(300, 100);  // shows 10.0
    StoreText(s, Row(5), "12.3");
    EXPECT_EQ(s.block.ReadWord(300), 123);
}

TEST(ValueCodec, ZeroFactorDivisionWritesNothing) {
    ToolState s;  // nothing read yet: every factor is 0 and dataValid is false
    for (int format : {2, 4}) {
        s.block.WriteWord(300, 777);
        StoreText(s, Row(format), "86");
        EXPECT_EQ(s.block.ReadWord(300), 777) << format;
    }
}

TEST(ValueCodec, BitsChangeOnlyTheirOwnPosition) {
    ToolState s = ReferenceController();
    ParamDescriptor d = Row(0, 214);
    d.kind = 101;
    d.bit = 13;
    EXPECT_EQ(ReadBit(s, d), 0);
    WriteBit(s, d, 5);  // any non-zero flag sets
    EXPECT_EQ(s.block.ReadWord(214), 0xE800);
    d.bit = 15;
    EXPECT_EQ(ReadBit(s, d), 1);
    WriteBit(s, d, 0);
    EXPECT_EQ(s.block.ReadWord(214), 0x6800);

    ParamDescriptor none = Row(0, -1);
    none.bit = 3;
    WriteBit(s, none, 1);
    EXPECT_EQ(ReadBit(s, none), 0);
}

TEST(ValueCodec, LeadingNumbers) {
    struct Case {
        const char* text;
        long integer;
        double number;
    };
    const Case cases[] = {
        {" 42abc", 42, 42},  {"-7.9", -7, -7.9}, {"+3", 3, 3},       {"abc", 0, 0},    {"", 0, 0},
        {"1e3", 1, 1000},    {".5", 0, 0.5},     {"0x10", 0, 0},     {"inf", 0, 0},    {"12.3.4", 12, 12.3},
        {"180.05", 180, 180.05},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeadingInteger(c.text), c.integer) << c.text;
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.number) << c.text;
    }
}

}  // namespace
}  // namespace dt
