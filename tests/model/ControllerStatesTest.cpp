// Two controllers in one process: a standard one and an FOC one, each a state of its own that
// shares the one catalogue. Editing, undoing or showing one never touches the other.
#include <gtest/gtest.h>

#include "BlockBuilder.h"
#include "ControllerProfile.h"
#include "GridPasses.h"
#include "ToolState.h"

namespace dt {
namespace {

constexpr int kSoftUndervoltageRow = 14;  // a choice row of the standard set
constexpr int kForwardSpeedOffset = 6;    // FOC word of the maximum forward speed

// The state a read leaves: values shown, the baseline taken.
void Read(ToolState& s) {
    ShowOnSheet(s);
    s.sheet.TakeBaseline(s, s.language);
}

ToolState ReadFoc() {
    ToolState s;
    std::vector<unsigned char> bytes(FocBlock::kSize);
    bytes[0] = 0x03;
    bytes[2] = 48;
    bytes[kForwardSpeedOffset] = 500 & 0xFF;
    bytes[kForwardSpeedOffset + 1] = 500 >> 8;
    FocProfile().Adopt(s, bytes);
    Read(s);
    return s;
}

int RowNamed(const ToolState& s, const std::string& name) {
    const std::vector<GridRow> rows = GridLayout(s);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].desc->name_en == name) return static_cast<int>(i);
    return -1;
}

TEST(ControllerStates, TwoKindsEditUndoAndShowApartOnOneCatalogue) {
    ToolState standard = test::ReferenceController();
    Read(standard);
    ToolState foc = ReadFoc();
    ASSERT_EQ(standard.catalogue, foc.catalogue);
    const ToolState standardRead = standard, focRead = foc;
    EXPECT_EQ(standardRead.catalogue, standard.catalogue) << "a copy shares the catalogue";
    ASSERT_EQ(standard.voltage.nominalVoltage, 72);

    // Edited: a nominal-voltage pick on the standard sheet, a typed speed on the FOC one.
    const ControllerProfile& profile = ProfileOf(standard);
    for (const CellWrite& w : profile.ChoiceWrites(standard, kRowNominalVoltage, "48"))
        standard.sheet.SetCell(w.row, w.text);
    standard.sheet.SetCell(kRowNominalVoltage, "48");
    profile.FollowSheet(standard, {kRowNominalVoltage});
    const int speedRow = RowNamed(foc, "Maximum Forward speed (rpm)");
    ASSERT_GE(speedRow, 0);
    foc.sheet.SetCell(speedRow, "600");
    StoreValues(foc, foc.sheet.Texts());
    EXPECT_EQ(standard.voltage.nominalVoltage, 48);
    EXPECT_EQ(standard.sheet.ChangedCount(), 7);
    EXPECT_EQ(foc.sheet.ChangedRows(), std::vector<int>{speedRow});
    EXPECT_EQ(foc.foc.Word(kForwardSpeedOffset), 600);
    EXPECT_EQ(foc.voltage.nominalVoltage, 0);

    // Shown in both languages: only the choice texts differ, and showing changes nothing (the
    // blocks still hold the 72 V minimum, the pick's 48 V class stays).
    for (const ToolState* s : {&standard, &foc}) {
        const ValueCells english = ShowValues({*s->catalogue, *s, LANG_ENGLISH});
        const ValueCells chinese = ShowValues({*s->catalogue, *s, LANG_CHINESE});
        ASSERT_EQ(english.size(), chinese.size());
        const int choiceRow = s == &foc ? kFocRowRegenEnable : kSoftUndervoltageRow;
        EXPECT_NE(english[choiceRow], chinese[choiceRow]);
        EXPECT_EQ(english[choiceRow], s->sheet.Text(choiceRow));
    }
    EXPECT_EQ(ShowValues(foc)[speedRow], "600");
    EXPECT_EQ(ShowValues(standard)[kRowNominalVoltage], "72") << "the pick is not yet stored";
    EXPECT_EQ(standard.voltage.nominalVoltage, 48);

    // The FOC sheet shown again in Chinese: its baseline follows, so only the edit counts as
    // changed; the standard sheet stays English.
    foc.language = LANG_CHINESE;
    ShowOnSheet(foc);
    EXPECT_NE(foc.sheet.Text(kFocRowRegenEnable), focRead.sheet.Text(kFocRowRegenEnable));
    EXPECT_EQ(foc.sheet.ChangedRows(), std::vector<int>{speedRow});
    EXPECT_EQ(standard.sheet.Text(kSoftUndervoltageRow), standardRead.sheet.Text(kSoftUndervoltageRow));

    // Undone by restoring the values read: each state goes back alone.
    standard = standardRead;
    EXPECT_EQ(standard.voltage.nominalVoltage, 72);
    EXPECT_EQ(standard.sheet.ChangedCount(), 0);
    EXPECT_EQ(foc.foc.Word(kForwardSpeedOffset), 600);
    foc = focRead;
    EXPECT_EQ(foc.foc.Word(kForwardSpeedOffset), 500);
    EXPECT_EQ(foc.sheet.Text(speedRow), "500");
    EXPECT_EQ(foc.language, LANG_ENGLISH);
}

}  // namespace
}  // namespace dt
