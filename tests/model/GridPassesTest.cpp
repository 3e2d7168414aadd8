// Grid-wide passes on value-cell texts: what an upload shows, what a download writes back,
// and the refusal message a technician gets.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "BlockBuilder.h"
#include "GridPasses.h"

namespace dt {
namespace {

using test::ReferenceController;

constexpr int P = 51;  // parameter rows before the function rows

// Every non-empty value cell of the 72 V reference controller (variant B, English).
const std::map<int, std::string>& ReferenceCells() {
    static const std::map<int, std::string> cells = {
        {1, "60°"},       {2, "-45"},        {3, "4"},          {4, "4000"},       {6, "72"},
        {7, "90.0"},      {8, "86.0"},       {9, "50.0"},       {11, "63.0"},      {12, "2.0"},
        {14, "1:Enable"}, {15, "66.0"},      {17, "0:Disable"}, {19, "167.9"},     {21, "399.5"},
        {22, "10.0"},     {23, "349.1"},     {25, "60.0"},      {27, "1:Enable"},  {28, "100"},
        {29, "110"},      {30, "130"},       {31, "10"},        {33, "1:Enable"},  {34, "3.0"},
        {36, "0:Disable"}, {37, "1:Linear"}, {39, "4.3"},       {40, "4.0"},       {41, "0.5"},
        {42, "0.8"},      {43, "3.6"},       {44, "1.1"},       {46, "300"},       {47, "500"},
        {49, "201412"},
        {P + 1, "1:Enable"},   {P + 3, "86.0"},       {P + 4, "78.9"},      {P + 6, "0:Disable"},
        {P + 7, "300"},        {P + 9, "1:Enable"},   {P + 10, "0:Disable"}, {P + 11, "1:Enable"},
        {P + 13, "2.0"},       {P + 14, "50"},        {P + 15, "3.0"},      {P + 17, "100"},
        {P + 19, "70"},        {P + 20, "50"},        {P + 22, "0:Disable"}, {P + 23, "0:Button"},
        {P + 24, "0"},         {P + 26, "100"},       {P + 27, "80"},       {P + 28, "60"},
        {P + 30, "0:Disable"}, {P + 31, "0:Manual Mode"}, {P + 33, "150.0"}, {P + 34, "10"},
        {P + 35, "120"},       {P + 37, "0:Hall effect throttle"},
    };
    return cells;
}

TEST(GridPasses, LayoutFollowsControllerKindAndVariant) {
    ToolState s = ReferenceController();
    EXPECT_EQ(GridLayout(s).size(), 90u);
    EXPECT_EQ(GridLayout(s)[P + 3].desc->name_en, "Reverse charging voltage (V)");
    s.modelWord = 0;
    SelectFunctionVariant(s);
    EXPECT_EQ(GridLayout(s).size(), 82u);
    s.kind = ControllerKind::Foc;
    EXPECT_EQ(GridLayout(s).size(), 15u);
    EXPECT_EQ(IndentValue("  12.3"), "    12.3");
}

TEST(GridPasses, EveryRowFindsItsTopicInTheGroupTree) {
    ToolState s = ReferenceController();  // variant B
    struct Case { int row; GridSet set; int group; };
    const Case standard[] = {
        {0, GridSet::Parameter, -1},  // the set's title
        {1, GridSet::Parameter, 0},   {5, GridSet::Parameter, 0},  {6, GridSet::Parameter, 1},
        {46, GridSet::Parameter, 6},  {50, GridSet::Parameter, 7},
        {P, GridSet::Function, -1},   {P + 1, GridSet::Function, 0}, {P + 9, GridSet::Function, 1},
        {P + 38, GridSet::Function, 6},
        {90, GridSet::Parameter, -1}, {-1, GridSet::Parameter, -1},  // past the grid
    };
    for (const Case& c : standard) {
        const RowTopic t = TopicOfRow(s, c.row);
        EXPECT_EQ(t.set, c.set) << "row " << c.row;
        EXPECT_EQ(t.group, c.group) << "row " << c.row;
    }
    s.kind = ControllerKind::Foc;
    const Case foc[] = {{1, GridSet::Function, -1}, {3, GridSet::Function, -1}, {4, GridSet::Parameter, -1},
                        {14, GridSet::Parameter, -1}};
    for (const Case& c : foc) {
        const RowTopic t = TopicOfRow(s, c.row);
        EXPECT_EQ(t.set, c.set) << "FOC row " << c.row;
        EXPECT_EQ(t.group, c.group) << "FOC row " << c.row;
    }
}

TEST(GridPasses, ShowValuesOfAStandardController) {
    ToolState s = ReferenceController();
    ValueCells cells = ShowValues(s);
    ASSERT_EQ(cells.size(), 90u);
    for (int row = 0; row < 90; ++row) {
        auto it = ReferenceCells().find(row);
        EXPECT_EQ(cells[row], it == ReferenceCells().end() ? "" : it->second) << "grid row " << row;
    }
    EXPECT_EQ(s.voltage.nominalVoltage, 72);
    EXPECT_EQ(s.voltage.maxOverVoltage, 95);
}

TEST(GridPasses, UnchangedCellsStoreBackWithoutDrift) {
    ToolState s = ReferenceController();
    const auto before = s.block.bytes;
    ValueCells cells = ShowValues(s);
    for (std::string& c : cells) c = IndentValue(c);
    StoreValues(s, cells);
    EXPECT_TRUE(s.block.bytes == before);
}

TEST(GridPasses, EditedCellsReachTheBlock) {
    ToolState s = ReferenceController();
    ValueCells cells = ShowValues(s);
    cells[1] = "120°";
    cells[3] = "";                       // empty: the word keeps its value
    cells[6] = "96";                     // the nominal voltage is never stored
    cells[7] = "    91";                 // indent as the grid shows it
    cells[14] = "0:Disable";             // entry 0 clears bit 11
    cells[36] = "anything";              // any other text sets bit 13
    cells[P + 3] = "86";                 // 86 / 0.1f = 859.99..., cut toward zero
    cells[P + 37] = "1:Potentiometer throttle";
    StoreValues(s, cells);
    EXPECT_EQ(s.block.ReadWord(200), 0);
    EXPECT_EQ(s.block.ReadWord(202), 4);
    EXPECT_EQ(s.block.ReadWord(206), 29818);
    EXPECT_EQ(s.block.ReadWord(214), 0xE000);
    EXPECT_EQ(s.block.ReadWord(101), 859);
    EXPECT_EQ(s.block.ReadWord(100), 0x8A12);
    EXPECT_EQ(s.block.SectionWord(0, 0), 0x4108);  // identity untouched
}

TEST(GridPasses, FirstFunctionRowReachesTheBlockInBothVariants) {
    // Function row 1 (EBS enable, word 100 bit 15) follows the title row directly.
    for (uint16_t modelWord : {uint16_t{0x052C}, uint16_t{0}}) {
        test::IdentityWords id;
        id.modelWord = modelWord;
        ToolState s = ReferenceController(id);
        ValueCells cells = ShowValues(s);
        const int p = s.Tables().ParameterSettings().rowCount;
        ASSERT_EQ(cells[p + 1], "1:Enable") << modelWord;
        cells[p + 1] = "0:Disable";
        StoreValues(s, cells);
        EXPECT_EQ(s.block.ReadWord(100), 0x0A10) << modelWord;
    }
}

TEST(GridPasses, AcceptedGridListsItsRowsInCheckOrder) {
    ToolState s = ReferenceController();
    ValueCells cells = ShowValues(s);
    ValidationResult r = ValidateAll(s, cells);
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(r.message, "Input data is not legitimate");
    ASSERT_EQ(r.acceptedRows.size(), 44u);  // 16 numeric function rows, 28 parameter rows
    EXPECT_EQ(r.acceptedRows[0], P + 3);
    EXPECT_EQ(r.acceptedRows[1], P + 4);
    EXPECT_EQ(r.acceptedRows[16], 2);
    EXPECT_EQ(r.acceptedRows[17], 3);
}

TEST(GridPasses, RefusalMessageListsFunctionRowsFirst) {
    ToolState s = ReferenceController();
    ValueCells cells = ShowValues(s);
    cells[3] = "30";       // 30 pole pairs: outside 2..28, and the rated speed limit drops to 1400
    cells[21] = "500";     // above the 450 A limit of this power stage
    cells[P + 17] = "120";
    StoreValues(s, cells);
    ValidationResult r = ValidateAll(s, cells);
    EXPECT_TRUE(r.refused);
    EXPECT_EQ(r.message,
              "Input data is not legitimate"
              "\n\nForword Speed ratio (%): 45.0 ≤ x ≤ 100.0"
              "\n\nNumber of pole pairs: 2.0 ≤ x ≤ 28.0"
              "\n\nRated motor speed (rpm): 1.0 ≤ x ≤ 1400.0"
              "\n\nMaximum phase current (A): 1.0 ≤ x ≤ 450.0");
    EXPECT_EQ(r.refusedRows, (std::vector<int>{P + 17, 3, 4, 21}));

    s.language = LANG_CHINESE;
    EXPECT_EQ(ValidateAll(s, cells).message.substr(0, std::string("输入数据不合法\n\n正转速度比例 (%): ").size()),
              "输入数据不合法\n\n正转速度比例 (%): ");
}

TEST(GridPasses, ZeroPolePairsRefusesBothRowsWithoutDividing) {
    ToolState s = ReferenceController();
    ValueCells cells = ShowValues(s);
    cells[3] = "0";
    StoreValues(s, cells);
    ValidationResult r = ValidateAll(s, cells);
    EXPECT_EQ(r.message,
              "Input data is not legitimate"
              "\n\nNumber of pole pairs: 2.0 ≤ x ≤ 28.0"
              "\n\nRated motor speed (rpm): Number of pole pairs = 0");
}

TEST(GridPasses, NothingIsCheckedBeforeValidData) {
    ToolState s;
    ValueCells cells = ShowValues(s);
    EXPECT_EQ(cells[6], "Err");  // no minimum working voltage to derive it from
    EXPECT_EQ(cells[2], "");
    EXPECT_EQ(cells[14], "0:Disable");
    cells[3] = "0";
    EXPECT_FALSE(ValidateAll(s, cells).refused);
}

// FOC controller: the 32-byte block and its fixed bounds.
ToolState FocController() {
    ToolState s;
    s.kind = ControllerKind::Foc;
    FocBlock& f = s.foc;
    f.SetByte(0, 0x01);  // regen braking on, reverse off
    f.SetByte(1, 50);
    f.SetByte(2, 48);
    f.SetByte(3, 62);
    f.SetByte(4, 42);
    f.SetByte(5, 20);
    f.SetWord(22, 50);   // shows 35 A: the first n with n × 10 / 7 = 50
    f.SetWord(6, 450);
    f.SetWord(24, 200);
    f.SetWord(8, 40);
    f.SetWord(10, 80);
    return s;
}

TEST(GridPasses, FocValuesShowAndStore) {
    ToolState s = FocController();
    EXPECT_EQ(ShowValues(s), (ValueCells{"", "1:Enable", "0:Disable", "", "50", "48", "62", "42", "20", "35", "450",
                                         "200", "40", "80", ""}));
    s.foc.SetWord(22, 49);  // no n matches: 49 × 7 / 10
    EXPECT_EQ(ShowValues(s)[9], "34");
    EXPECT_EQ(FocAmpsFromWord(50), 35);

    ValueCells cells = ShowValues(s);
    cells[1] = "0:Disable";
    cells[2] = "junk";     // neither entry: the bit stays
    cells[6] = "62.5";     // read as 62
    cells[7] = "  31";
    cells[9] = "40";       // stored as 40 × 10 / 7 = 57
    cells[10] = "";        // keeps 450
    StoreValues(s, cells);
    EXPECT_EQ(s.foc.Byte(0), 0x00);
    EXPECT_EQ(s.foc.Byte(3), 62);
    EXPECT_EQ(s.foc.Byte(4), 31);
    EXPECT_EQ(s.foc.Word(22), 57);
    EXPECT_EQ(s.foc.Word(6), 450);

    // A runaway digit string saturates instead of overflowing, and is reported as read.
    cells[4] = "99999999999999999999";
    cells[9] = "99999999999999999999";
    StoreValues(s, cells);
    EXPECT_EQ(s.foc.Word(22), 46810);  // (2^63 - 1) × 10 / 7, low 16 bits
    EXPECT_EQ(ValidateAll(s, cells).message,
              "Input data is not legitimate"
              "\n\nPAS Ratio ( 0.1 times )=2147483647 : 10 ≤ x ≤ 100"
              "\n\nUndervoltage protection value (V)=31 : 34 ≤ x ≤ 48"
              "\n\nRated phase current (A)=2147483647 : 35 ≤ x ≤ 70"
              "\n\nMaximum Forward speed (rpm)=0 : 100 ≤ x ≤ 700");
}

TEST(GridPasses, FocWordsTheAmperesCannotExpressSurviveAnUnchangedRoundTrip) {
    // Words 49 and 53 have no n in 35..70 with n × 10 / 7 = word: shown as 34 and 37, which would
    // be stored back as 48 and 52.
    for (const uint16_t word : {49, 53, 50, 100, 0}) {
        ToolState s = FocController();
        s.foc.SetWord(22, word);
        const auto before = s.foc.bytes;
        StoreValues(s, ShowValues(s));
        EXPECT_TRUE(s.foc.bytes == before) << "word " << word;
    }
    ToolState s = FocController();
    s.foc.SetWord(22, 53);
    ValueCells cells = ShowValues(s);
    ASSERT_EQ(cells[9], "37");
    cells[9] = "38";  // a real edit is stored as before
    StoreValues(s, cells);
    EXPECT_EQ(s.foc.Word(22), 54);
}

TEST(GridPasses, FocValidation) {
    ToolState s = FocController();
    ValueCells cells = ShowValues(s);
    ValidationResult ok = ValidateAll(s, cells);
    EXPECT_FALSE(ok.refused);
    EXPECT_EQ(ok.acceptedRows, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));

    cells[6] = "66";
    cells[9] = "71";
    ValidationResult r = ValidateAll(s, cells);
    EXPECT_EQ(r.message,
              "Input data is not legitimate"
              "\n\nOvervoltage protection value (V)=66 : 61 ≤ x ≤ 65"
              "\n\nRated phase current (A)=71 : 35 ≤ x ≤ 70");
    EXPECT_EQ(r.refusedRows, (std::vector<int>{6, 9}));

    cells[5] = "30";  // unknown nominal: rows 6 and 7 are not checked
    cells[9] = "70";
    r = ValidateAll(s, cells);
    EXPECT_EQ(r.message, "Input data is not legitimate\n\nNominal battery voltage (V)=30 : {48, 36, 24}");

    cells[5] = "24";
    cells[6] = "36";
    cells[7] = "25";
    EXPECT_EQ(ValidateAll(s, cells).refusedRows, (std::vector<int>{7}));
}

}  // namespace
}  // namespace dt
