// Help while editing: a value outside its range marked as it is typed, a refusal's red gone once
// the value passes, the topic tree marking what its topics hold, a picked topic at the top of the
// grid, and the balloon gone when a dialog comes up.
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTreeWidget>
#include <QUndoStack>

#include "BalloonTip.h"
#include "EditingFixture.h"
#include "GroupTree.h"
#include "MainFrame.h"
#include "StatusLine.h"

namespace {

const QColor kRed(255, 0, 0);

class EditingAidsTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        StartApp();
        ASSERT_TRUE(ConnectAndUpload());
    }
};

TEST_F(EditingAidsTest, AValueOutOfRangeIsMarkedAsTypedAndARefusalsRedGoesWhenItPasses) {
    const QString before = CellText(kAccelerationRow);
    const QColor colour = Grid().GetItemBkColour(kAccelerationRow, 2);
    CStatusLine& status = *Frame().StatusLine();
    TypeValue(kAccelerationRow, "5000");
    EXPECT_TRUE(Grid().IsItemWarned(kAccelerationRow, 2));
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), colour);  // the red is the download's
    EXPECT_FALSE(Grid().IsItemWarned(kDecelerationRow, 2));
    // The current cell holds it: its range in the warning colour.
    EXPECT_EQ(status.EditingRangeText(), "Allowed: 50 … 800 rpm/s");
    EXPECT_TRUE(status.RangeWarns());
    const QLabel* range = status.findChild<QLabel*>("statusRange");
    EXPECT_EQ(range->palette().color(QPalette::WindowText), QColor(200, 130, 0));
    // The line follows the current cell as the user moves on and back.
    QTest::keyClick(&Grid(), Qt::Key_Down);
    EXPECT_FALSE(status.RangeWarns());
    QTest::keyClick(&Grid(), Qt::Key_Up);
    EXPECT_TRUE(status.RangeWarns());

    TypeValue(kDecelerationRow, "99999");
    Grid().SetFocusCell(kSoftUndervoltageRow, 2);
    Press(CControlPanel::IDC_DOWNLOAD);
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), kRed);
    EXPECT_EQ(Grid().GetItemBkColour(kDecelerationRow, 2), kRed);
    // The box has closed: the first value it names is selected.
    EXPECT_EQ(Grid().GetFocusCell().row, kAccelerationRow);

    // An edit and an undo each put a valid value back; each row takes its colour again.
    TypeValue(kAccelerationRow, before);
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), colour);
    EXPECT_FALSE(Grid().IsItemWarned(kAccelerationRow, 2));
    EXPECT_FALSE(status.RangeWarns());
    EXPECT_EQ(Grid().GetItemBkColour(kDecelerationRow, 2), kRed);
    View().History()->undo();  // the acceleration back to 5000: warned, not red
    View().History()->undo();  // the deceleration back to the controller's
    EXPECT_NE(Grid().GetItemBkColour(kDecelerationRow, 2), kRed);
    EXPECT_FALSE(Grid().IsItemWarned(kDecelerationRow, 2));
    EXPECT_TRUE(Grid().IsItemWarned(kAccelerationRow, 2));
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), colour);
}

TEST_F(EditingAidsTest, TheTreeMarksTopicsHoldingChangedOrOutOfRangeValues) {
    const dt::RowTopic topic = dt::TopicOfRow(State(), kAccelerationRow);
    QTreeWidgetItem* group = Frame().ParameterItem()->child(topic.group);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(CGroupTree::TopicMarkOf(group), CGroupTree::kNoMark);
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    EXPECT_EQ(CGroupTree::TopicMarkOf(group), CGroupTree::kChangedMark);
    EXPECT_EQ(CGroupTree::TopicMarkOf(Frame().ParameterItem()), CGroupTree::kChangedMark);
    EXPECT_FALSE(group->icon(0).isNull());
    TypeValue(kAccelerationRow, "5000");
    EXPECT_EQ(CGroupTree::TopicMarkOf(group), CGroupTree::kChangedMark | CGroupTree::kOutOfRangeMark);
    // Both marks on the icon: the amber bar at the left, the orange corner at the right.
    const QImage icon = group->icon(0).pixmap(14, 14).toImage();
    EXPECT_EQ(QColor(icon.pixel(2, 7)), QColor(200, 130, 0));
    EXPECT_EQ(QColor(icon.pixel(12, 2)), QColor(200, 60, 0));
    EXPECT_EQ(CGroupTree::TopicMarkOf(Frame().FunctionItem()), CGroupTree::kNoMark);
    View().RevertAll();
    EXPECT_EQ(CGroupTree::TopicMarkOf(group), CGroupTree::kNoMark);
    EXPECT_TRUE(group->icon(0).isNull());
}

TEST_F(EditingAidsTest, APickedTopicLandsAtTheTopOfTheGrid) {
    QTreeWidget* tree = Frame().findChild<QTreeWidget*>("groupTree");
    for (QTreeWidgetItem* item : {Frame().FunctionItem(), Frame().ParameterItem()->child(3)}) {
        Grid().verticalScrollBar()->setValue(0);
        tree->setCurrentItem(item);
        const int row = Grid().GetFocusCell().row;
        ASSERT_GT(row, 0);
        // The heading's top is the viewport's top, not its last line.
        EXPECT_EQ(Grid().CellRect(row, 0).top(), 0) << item->text(0).toStdString();
    }
}

TEST_F(EditingAidsTest, TheBalloonGoesWhenADialogOpens) {
    HintOf(kAccelerationRow);
    BalloonTip& balloon = *View().Balloon();
    ASSERT_TRUE(balloon.IsWaiting() || balloon.isVisible());
    Frame().activateWindow();
    QMessageBox box(&Frame());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    box.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !balloon.IsWaiting() && !balloon.isVisible(); }, 2000));
    // Nor does it come up over a dialog that is open.
    balloon.Show("hint", QPoint(10, 10));
    QTest::qWait(BalloonTip::kDelayMs + 100);
    EXPECT_FALSE(balloon.isVisible());
}

TEST_F(EditingAidsTest, AFileOfTheOtherFunctionVariantIsRefusedAndNothingChanges) {
    dt::ToolState copy = State();
    copy.block.SetSectionWord(0, 15, 0x04D2);  // customer 1, version 210: variant A
    WriteFile("variant-a.foc", QByteArray(reinterpret_cast<const char*>(copy.block.bytes.data()),
                                          static_cast<int>(copy.block.bytes.size())));
    const auto block = State().block.bytes;
    const std::vector<std::string> cells = State().sheet.Texts();
    fileAnswers.push_back(WorkPath("variant-a.foc").toStdString());
    const size_t before = messages.size();
    Press(CControlPanel::IDC_IMPORT);
    ASSERT_TRUE(WaitForMessages(before + 1));
    EXPECT_EQ(messages.back().text,
              "File does not match with the controller\nThe file is of function variant A; the controller is of variant B");
    EXPECT_EQ(messages.back().type, dt::MB_ICON_WARNING);
    EXPECT_TRUE(State().block.bytes == block);
    EXPECT_EQ(State().sheet.Texts(), cells);
}

}  // namespace
