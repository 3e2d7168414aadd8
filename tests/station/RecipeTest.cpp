// The recipe and the technician's steps without a port: which units the gate lets through, what
// the fill leaves in a unit's cells, and which recipes are refused before anything is sent.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "ControllerProfile.h"
#include "GridPasses.h"
#include "Recipe.h"

namespace dt::station {
namespace {

std::vector<unsigned char> Sample(const std::string& name) {
    std::ifstream in(std::string(DT_SOURCE_DIR) + "/samples/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Word i of the tables' index space: word i mod 100 of section i div 100.
size_t Offset(int i) { return static_cast<size_t>((i / 100) * 256 + (i % 100) * 2); }
void SetWord(std::vector<unsigned char>& bytes, int i, uint16_t value) {
    bytes[Offset(i)] = static_cast<unsigned char>(value >> 8);
    bytes[Offset(i) + 1] = static_cast<unsigned char>(value & 0xFF);
}
uint16_t Word(const std::vector<unsigned char>& bytes, int i) {
    return static_cast<uint16_t>(bytes[Offset(i)] << 8 | bytes[Offset(i) + 1]);
}

// A unit as a read leaves it.
ToolState Unit(const std::vector<unsigned char>& bytes, bool foc = false) {
    ToolState s;
    s.link.identityReceived = true;
    s.kind = foc ? ControllerKind::Foc : ControllerKind::Standard;
    if (foc) {
        std::copy(bytes.begin(), bytes.end(), s.foc.bytes.begin());
        s.block.SetSectionWord(0, 15, 0xFFFE);
        s.modelWord = 0xFFFE;
    } else {
        std::copy(bytes.begin(), bytes.end(), s.block.bytes.begin());
        s.dataValid = ParseIdentity(s);
        SelectFunctionVariant(s);
    }
    ShowOnSheet(s);
    return s;
}

Recipe Loaded(const std::vector<unsigned char>& bytes, const ControllerProfile& kind = StandardProfile()) {
    Recipe r;
    std::string why;
    EXPECT_TRUE(r.Load(ToolState(), kind, bytes, why)) << why;
    return r;
}

int RowNamed(const ToolState& s, const std::string& name) {
    const std::vector<GridRow> rows = GridLayout(s);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].desc->name_en == name) return static_cast<int>(i);
    ADD_FAILURE() << name;
    return -1;
}

TEST(Gate, TheModelWordsMustMatchTheCalibrationWordsMayDiffer) {
    const std::vector<unsigned char> recipe = Sample("standard-b.foc");
    const Recipe r = Loaded(recipe);
    struct Case {
        int word;
        bool refused;
    };
    for (const Case c : {Case{0, true}, Case{11, true}, Case{12, true}, Case{15, true}, Case{4, false},
                         Case{5, false}, Case{8, false}, Case{9, false}, Case{10, false}, Case{6, false}}) {
        std::vector<unsigned char> unit = recipe;
        SetWord(unit, c.word, static_cast<uint16_t>(Word(unit, c.word) + 1));
        const std::string refusal = GateRefusal(r, Unit(unit));
        EXPECT_EQ(!refusal.empty(), c.refused) << "word " << c.word << ": " << refusal;
        if (c.refused) {
            EXPECT_EQ(refusal, "not the recipe's model (word " + std::to_string(c.word) + " differs); nothing written");
        }
    }
}

TEST(Gate, WordSixCountsWhenTheModelWordIsZeroAndKindsMustMatch) {
    std::vector<unsigned char> recipe = Sample("standard-b.foc");
    SetWord(recipe, 15, 0);
    SetWord(recipe, 0, 0x0801);  // kind and hardware class as a model word of 0 reads them
    SetWord(recipe, 6, 180);
    // In range for such a controller: variant A's cruise speed, and no voltage class above 75 V.
    SetWord(recipe, 111, 500);
    SetWord(recipe, 206, 18370);  // 74.0 V
    SetWord(recipe, 207, 17377);  // 70.0 V
    SetWord(recipe, 101, 2860);   // EBS 71.5 V
    std::string why;
    Recipe r;
    ASSERT_TRUE(r.Load(ToolState(), StandardProfile(), recipe, why)) << why;
    std::vector<unsigned char> unit = recipe;
    SetWord(unit, 6, 181);
    EXPECT_EQ(GateRefusal(r, Unit(unit)), "not the recipe's model (word 6 differs); nothing written");
    EXPECT_EQ(GateRefusal(r, Unit(recipe)), "");

    const Recipe standard = Loaded(Sample("standard-b.foc"));
    const Recipe foc = Loaded(Sample("foc.ged"), FocProfile());
    EXPECT_EQ(GateRefusal(standard, Unit(Sample("foc.ged"), true)), "not the recipe's kind of controller; nothing written");
    EXPECT_EQ(GateRefusal(foc, Unit(Sample("standard-b.foc"))), "not the recipe's kind of controller; nothing written");
    EXPECT_EQ(GateRefusal(foc, Unit(Sample("foc.ged"), true)), "");
}

TEST(Gate, AUnitWhoseValuesCannotBeShownIsRefused) {
    const std::vector<unsigned char> recipe = Sample("standard-b.foc");
    std::vector<unsigned char> unit = recipe;
    // BATT_RATIO 0: a calibration word, so only the validity check can stop it.
    SetWord(unit, 9, 0);
    EXPECT_EQ(GateRefusal(Loaded(recipe), Unit(unit)), "the controller's identity or calibration is not valid; nothing written");
}

TEST(Fill, EditableCellsTakeTheRecipesTextsReadOnlyOnesKeepTheUnits) {
    std::vector<unsigned char> recipe = Sample("standard-b.foc");
    SetWord(recipe, 203, 1500);   // rated speed, editable
    SetWord(recipe, 204, 2030);   // warranty date, read-only
    std::vector<unsigned char> unitBytes = Sample("standard-b.foc");
    SetWord(unitBytes, 9, Word(unitBytes, 9) + 1);  // another BATT_RATIO
    const Recipe r = Loaded(recipe);
    ToolState unit = Unit(unitBytes);
    const std::string warranty = unit.sheet.Text(RowNamed(unit, "Warranty Date"));
    FillLikeTechnician(r, unit);
    EXPECT_EQ(unit.sheet.Text(RowNamed(unit, "Rated motor speed (rpm)")), "1500");
    EXPECT_EQ(unit.sheet.Text(RowNamed(unit, "Warranty Date")), warranty);
    const int overVoltage = RowNamed(unit, "High voltage protection value (V)");
    EXPECT_EQ(unit.sheet.Text(overVoltage), CellText(r.Cells(), overVoltage));

    // Stored with the unit's calibration, the voltages come out in the unit's raw words.
    StoreValues(unit, unit.sheet.Texts());
    EXPECT_EQ(unit.block.ReadWord(203), 1500);
    EXPECT_NE(unit.block.ReadWord(206), Word(recipe, 206));
    for (const RoundedRow& row : RoundedRows(r, unit)) EXPECT_NE(row.recipe, row.unit) << row.name;
}

TEST(RecipeLoad, ShortInvalidAndRefusedSetsAreTurnedAway) {
    std::string why;
    Recipe r;
    EXPECT_FALSE(r.Load(ToolState(), StandardProfile(), std::vector<unsigned char>(1023), why));
    EXPECT_EQ(why, "Unable to import, file length error");
    std::vector<unsigned char> uncalibrated = Sample("standard-b.foc");
    SetWord(uncalibrated, 9, 0);
    EXPECT_FALSE(r.Load(ToolState(), StandardProfile(), uncalibrated, why));
    EXPECT_EQ(why, "the recipe's identity or calibration is not valid; nothing sent");
    std::vector<unsigned char> outOfRange = Sample("standard-b.foc");
    SetWord(outOfRange, 202, 1);  // one pole pair: the range is 2 to 28
    EXPECT_FALSE(r.Load(ToolState(), StandardProfile(), outOfRange, why));
    EXPECT_NE(why.find("2.0 ≤ x ≤ 28.0"), std::string::npos) << why;
    EXPECT_TRUE(r.Load(ToolState(), StandardProfile(), Sample("standard-b.foc"), why));
    EXPECT_EQ(r.Cells().size(), 90u) << "variant B's rows";
    EXPECT_TRUE(r.Load(ToolState(), StandardProfile(), Sample("standard-a.foc"), why)) << why;
    EXPECT_EQ(r.Cells().size(), 82u) << "variant A's rows";
    EXPECT_EQ(Sha256Hex({'a', 'b', 'c'}), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace dt::station
