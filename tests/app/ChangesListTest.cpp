// The list of changes against the virtual controller: opened from the status line's count (by
// mouse and by keyboard), its lines in both languages, one row and all rows reverted from it as
// undoable steps, the list following the sheet, and a jump to a row of another topic.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QUndoStack>

#include "ChangesDlg.h"
#include "EditingFixture.h"
#include "GroupTree.h"
#include "MainFrame.h"
#include "StatusLine.h"

namespace {

class ChangesListTest : public EditingTest {
protected:
    void Upload() {
        StartApp();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        ASSERT_TRUE(ConnectAndUpload());
    }

    // Acceleration typed, the soft-undervoltage choice picked; the values they had before.
    void TwoChanges() {
        acceleration = CellText(kAccelerationRow);
        choice = CellText(kSoftUndervoltageRow);
        TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
        ASSERT_TRUE(PickChoice(kSoftUndervoltageRow, OtherChoice(kSoftUndervoltageRow)));
    }

    // Opened as a user does it: a click on the count. Null (and failed) when nothing opened.
    CChangesDlg* OpenByClick() {
        auto* count = Frame().StatusLine()->findChild<QLabel*>(QStringLiteral("statusChanged"));
        EXPECT_TRUE(count && count->isVisible());
        if (count) QTest::mouseClick(count, Qt::LeftButton);
        EXPECT_NE(Frame().Changes(), nullptr);
        return Frame().Changes();
    }

    QStringList Header(CChangesDlg& dlg) {
        const QTreeWidgetItem* header = dlg.List()->headerItem();
        return {header->text(0), header->text(1), header->text(2)};
    }

    QStringList Line(CChangesDlg& dlg, int index) {
        QTreeWidgetItem* item = dlg.List()->topLevelItem(index);
        return item ? QStringList{item->text(0), item->text(1), item->text(2)} : QStringList();
    }

    QString acceleration;
    QString choice;
};

TEST_F(ChangesListTest, OneLineAChangedRowWithTheControllersAndTheNewValue) {
    Upload();
    TwoChanges();
    CChangesDlg* opened = OpenByClick();
    ASSERT_NE(opened, nullptr);
    CChangesDlg& dlg = *opened;
    EXPECT_EQ(dlg.windowTitle(), "Changed values");
    EXPECT_EQ(Header(dlg), (QStringList{"Parameter", "Controller's value", "New value"}));
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{14, 46}));
    EXPECT_EQ(Line(dlg, 0), (QStringList{"Low voltage protection enable", choice, CellText(kSoftUndervoltageRow)}));
    EXPECT_EQ(Line(dlg, 1), (QStringList{"Acceleration (rpm/s)", acceleration, CellText(kAccelerationRow)}));
    EXPECT_NE(Line(dlg, 1)[1], Line(dlg, 1)[2]);
    EXPECT_FALSE(dlg.EmptyNote()->isVisible());
    EXPECT_EQ(dlg.RevertAllButton()->text(), "Revert all changes");
}

TEST_F(ChangesListTest, TheLinesInChinese) {
    UseChinese();
    Upload();
    TwoChanges();
    CChangesDlg* opened = OpenByClick();
    ASSERT_NE(opened, nullptr);
    CChangesDlg& dlg = *opened;
    EXPECT_EQ(dlg.windowTitle(), "已修改的参数");
    EXPECT_EQ(Header(dlg), (QStringList{"参数", "控制器的值", "新值"}));
    EXPECT_EQ(Line(dlg, 1), (QStringList{"加速度 (rpm/s)", acceleration, CellText(kAccelerationRow)}));
    EXPECT_EQ(dlg.RevertButton()->text(), "恢复为控制器的值(&R)");
    dlg.RevertAllButton()->click();
    EXPECT_EQ(dlg.EmptyNote()->text(), "所有参数均为控制器的值。");
}

TEST_F(ChangesListTest, OneRowRevertedFromTheListIsOneStepTheListFollows) {
    Upload();
    TwoChanges();
    CChangesDlg* opened = OpenByClick();
    ASSERT_NE(opened, nullptr);
    CChangesDlg& dlg = *opened;
    dlg.SelectRow(kAccelerationRow);
    QTest::mouseClick(dlg.RevertButton(), Qt::LeftButton);
    EXPECT_EQ(CellText(kAccelerationRow), acceleration);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kSoftUndervoltageRow}));
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow}));
    EXPECT_EQ(dlg.SelectedRow(), kSoftUndervoltageRow);  // the selection stays in the list
    EXPECT_TRUE(dlg.RevertAllButton()->isEnabled()) << "one line is still there to revert";
    EXPECT_EQ(Frame().StatusLine()->ChangedText(), "1 value changed, not yet downloaded");

    View().History()->undo();
    EXPECT_NE(CellText(kAccelerationRow), acceleration);
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow, kAccelerationRow}));
    EXPECT_EQ(dlg.SelectedRow(), kSoftUndervoltageRow);  // a line coming back leaves the selection alone
    // An edit in the grid shows in the open list too.
    TypeValue(kAccelerationRow, acceleration);
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow}));
}

TEST_F(ChangesListTest, AfterAMiddleLineWentBackTheNextOneIsSelected) {
    Upload();
    TwoChanges();
    TypeValue(kDecelerationRow, OtherValue(kDecelerationRow));
    CChangesDlg* opened = OpenByClick();
    ASSERT_NE(opened, nullptr);
    CChangesDlg& dlg = *opened;
    ASSERT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow, kAccelerationRow, kDecelerationRow}));
    dlg.SelectRow(kAccelerationRow);
    dlg.RevertButton()->click();
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow, kDecelerationRow}));
    EXPECT_EQ(dlg.SelectedRow(), kDecelerationRow);
}

TEST_F(ChangesListTest, RevertAllEmptiesTheListAndUndoFillsItAgain) {
    Upload();
    TwoChanges();
    CChangesDlg* opened = OpenByClick();
    ASSERT_NE(opened, nullptr);
    CChangesDlg& dlg = *opened;
    const int steps = View().History()->count();
    QTest::mouseClick(dlg.RevertAllButton(), Qt::LeftButton);
    EXPECT_EQ(View().History()->count(), steps + 1);
    EXPECT_EQ(CellText(kAccelerationRow), acceleration);
    EXPECT_EQ(CellText(kSoftUndervoltageRow), choice);
    EXPECT_TRUE(dlg.Rows().empty());
    EXPECT_TRUE(dlg.EmptyNote()->isVisible());
    EXPECT_FALSE(dlg.List()->isVisible());
    EXPECT_EQ(dlg.EmptyNote()->text(), "Every value is the controller's.");
    EXPECT_FALSE(dlg.RevertAllButton()->isEnabled());
    EXPECT_FALSE(dlg.RevertButton()->isEnabled());
    EXPECT_FALSE(dlg.GoToButton()->isEnabled());

    View().History()->undo();
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow, kAccelerationRow}));
    EXPECT_TRUE(dlg.List()->isVisible());
    EXPECT_TRUE(dlg.RevertAllButton()->isEnabled());
}

TEST_F(ChangesListTest, TheKeyboardOpensItRevertsAndJumps) {
    Upload();
    TwoChanges();
    QTest::keyClick(&Grid(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(Frame().Changes(), nullptr);
    CChangesDlg& dlg = *Frame().Changes();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(dlg.SelectedRow(), kSoftUndervoltageRow);
    QTest::keyClick(dlg.List(), Qt::Key_Down);
    EXPECT_EQ(dlg.SelectedRow(), kAccelerationRow);
    QTest::keyClick(dlg.List(), Qt::Key_Delete);
    EXPECT_EQ(CellText(kAccelerationRow), acceleration);
    EXPECT_EQ(dlg.Rows(), (std::vector<int>{kSoftUndervoltageRow}));
    Grid().SetFocusCell(1, 2);  // away from the row the choice left it on
    QTest::keyClick(dlg.List(), Qt::Key_Return);
    EXPECT_EQ(Grid().GetFocusCell().row, kSoftUndervoltageRow);
    EXPECT_EQ(Grid().GetFocusCell().col, 2);
    QPointer<CChangesDlg> guard(&dlg);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !guard || !guard->isVisible(); }, 2000));
}

TEST_F(ChangesListTest, AJumpToAFunctionRowPicksItsTopicInTheTree) {
    Upload();
    const dt::ParamTables& t = State().Tables();
    const int P = t.ParameterSettings().rowCount;
    // An editable number of the function set, past its first group.
    int row = -1;
    const std::vector<dt::GridRow> layout = dt::GridLayout(State());
    for (int r = P; r < static_cast<int>(layout.size()) && row < 0; ++r) {
        const dt::ParamDescriptor& d = *layout[r].desc;
        if (d.kind >= 1 && d.kind < 100 && d.read_only != 1 && dt::TopicOfRow(State(), r).group > 0) row = r;
    }
    ASSERT_GT(row, P);
    Frame().Tree()->setCurrentItem(Frame().ParameterItem());
    Grid().verticalScrollBar()->setValue(0);
    TypeValue(row, "1");
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    Grid().verticalScrollBar()->setValue(0);

    CChangesDlg* opened = OpenByClick();
    ASSERT_NE(opened, nullptr);
    CChangesDlg& dlg = *opened;
    EXPECT_EQ(dlg.Rows().back(), row);
    dlg.SelectRow(row);
    QTest::mouseClick(dlg.GoToButton(), Qt::LeftButton);
    EXPECT_EQ(Grid().GetFocusCell().row, row);
    EXPECT_EQ(Grid().GetFocusCell().col, 2);
    EXPECT_TRUE(Grid().viewport()->rect().intersects(Grid().CellRect(row, 2)));
    const int group = State().FunctionSettings().GroupOfRecord(row - P);
    QTreeWidgetItem* topic = Frame().Tree()->currentItem();
    ASSERT_NE(topic, nullptr);
    EXPECT_EQ(topic->parent(), Frame().FunctionItem());
    EXPECT_EQ(topic->text(0), Q(State().FunctionSettings().groups[group].Title(State().language)));

    // Back to a parameter row: the parameter topic of its group.
    dlg.SelectRow(kAccelerationRow);
    QTest::mouseClick(dlg.GoToButton(), Qt::LeftButton);
    EXPECT_EQ(Grid().GetFocusCell().row, kAccelerationRow);
    EXPECT_EQ(Frame().Tree()->currentItem()->parent(), Frame().ParameterItem());
}

}  // namespace
