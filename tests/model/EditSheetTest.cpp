// The edit sheet: which cells count as changed, against which baseline, and when a download's
// cells become the controller's.
#include <gtest/gtest.h>

#include "BlockBuilder.h"
#include "EditSheet.h"
#include "GridPasses.h"
#include "ToolState.h"

namespace dt {
namespace {

using test::ReferenceController;

constexpr int kSoftUndervoltageRow = 14;  // "1:Enable" on the reference controller
constexpr int kAccelerationRow = 46;      // "300"

// The reference controller read: shown and taken as the baseline.
ToolState ReadReference() {
    ToolState s = ReferenceController();
    ShowOnSheet(s);
    s.sheet.TakeBaseline(s, s.language);
    return s;
}

TEST(EditSheet, CellsAreKeptWithoutTheirIndentAndOnlyInsideTheSheet) {
    ToolState s = ReadReference();
    EXPECT_EQ(s.sheet.Rows(), 90);
    EXPECT_TRUE(s.sheet.SetCell(kAccelerationRow, "    400"));
    EXPECT_EQ(s.sheet.Text(kAccelerationRow), "400");
    EXPECT_FALSE(s.sheet.SetCell(90, "1"));
    EXPECT_FALSE(s.sheet.SetCell(-1, "1"));
    EXPECT_EQ(s.sheet.Text(90), "");
    EXPECT_EQ(s.sheet.ChangedRows(), (std::vector<int>{kAccelerationRow}));
    EXPECT_EQ(*s.sheet.Baseline(kAccelerationRow), "300");
    EXPECT_EQ(s.sheet.Baseline(90), nullptr);
}

TEST(EditSheet, NothingIsChangedWithoutValuesOrForTheOtherKind) {
    ToolState s = ReferenceController();
    s.sheet.Layout(ControllerKind::Standard, 90);
    s.sheet.SetCell(kAccelerationRow, "400");
    EXPECT_FALSE(s.sheet.HasBaseline());
    EXPECT_EQ(s.sheet.ChangedCount(), 0) << "no read yet";

    s = ReadReference();
    s.sheet.SetCell(kAccelerationRow, "400");
    s.sheet.Layout(ControllerKind::Standard, 90);  // a grid rebuilt, no values shown
    EXPECT_EQ(s.sheet.ChangedCount(), 0);
    EXPECT_FALSE(s.sheet.ValuesShown());
    s.sheet.Layout(ControllerKind::Foc, 15);
    EXPECT_EQ(s.sheet.Kind(), ControllerKind::Foc);
    EXPECT_EQ(s.sheet.Baseline(1), nullptr) << "the baseline is a standard controller's";

    s = ReadReference();
    s.kind = ControllerKind::Foc;
    ShowOnSheet(s);  // FOC rows over a standard baseline
    EXPECT_EQ(s.sheet.ChangedCount(), 0);
}

TEST(EditSheet, ADownloadBecomesTheBaselineOnlyOnceStored) {
    ToolState s = ReadReference();
    EXPECT_FALSE(s.sheet.AdoptSent()) << "nothing was sent";
    s.sheet.SetCell(kAccelerationRow, "400");
    s.sheet.NoteSending(s, s.language);
    s.sheet.SetCell(kAccelerationRow, "500");  // typed while the download ran
    s.sheet.DropSent();
    EXPECT_FALSE(s.sheet.AdoptSent());
    EXPECT_EQ(*s.sheet.Baseline(kAccelerationRow), "300");

    s.sheet.SetCell(kAccelerationRow, "400");
    s.sheet.NoteSending(s, s.language);
    s.sheet.SetCell(kAccelerationRow, "500");
    EXPECT_TRUE(s.sheet.AdoptSent());
    EXPECT_EQ(*s.sheet.Baseline(kAccelerationRow), "400");
    EXPECT_EQ(s.sheet.ChangedRows(), (std::vector<int>{kAccelerationRow}));
    EXPECT_FALSE(s.sheet.AdoptSent()) << "adopted once";

    // A new read drops a sending noted before it.
    s.sheet.NoteSending(s, s.language);
    s.sheet.TakeBaseline(s, s.language);
    EXPECT_FALSE(s.sheet.AdoptSent());
}

TEST(EditSheet, TheBaselineFollowsALanguageSwitch) {
    ToolState s = ReadReference();
    ASSERT_EQ(s.sheet.Text(kSoftUndervoltageRow), "1:Enable");
    s.language = LANG_CHINESE;
    BuildChoiceLists(s.lists, s.catalogue->optionTexts, s.language);
    ShowOnSheet(s);
    EXPECT_NE(s.sheet.Text(kSoftUndervoltageRow), "1:Enable");
    EXPECT_EQ(*s.sheet.Baseline(kSoftUndervoltageRow), s.sheet.Text(kSoftUndervoltageRow));
    EXPECT_EQ(s.sheet.ChangedCount(), 0);
}

}  // namespace
}  // namespace dt
