// The FOC controller's layout and checks, the tree jumping the grid, and the hint balloon.
#include <QFileInfo>
#include <QTest>
#include <QTreeWidget>

#include "BalloonTip.h"
#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "GroupTree.h"
#include "MainFrame.h"
#include "QtText.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class FocTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(StartSim({"--bind", "COM1", "--foc"}));
        StartApp();
        ASSERT_TRUE(ConnectAndUpload());
    }
};

TEST_F(FocTest, UploadSwitchesToTheFocLayoutAndTree) {
    EXPECT_EQ(State().kind, dt::ControllerKind::Foc);
    const int n = State().Tables().FocSettings().rowCount;
    EXPECT_EQ(Grid().GetRowCount(), n);
    EXPECT_EQ(Grid().GetColumnWidth(2), 165);
    EXPECT_EQ(Grid().GetRowHeight(0), 40);
    EXPECT_EQ(Grid().GetRowHeight(1), 42);
    EXPECT_EQ(Grid().GetItemText(1, 0), Q(State().FunctionSettings().Title(dt::LANG_ENGLISH)));
    EXPECT_EQ(Grid().GetItemBkColour(1, 0), QColor(225, 230, 210));
    EXPECT_EQ(Grid().GetItemBkColour(4, 0), QColor(200, 210, 160));
    EXPECT_EQ(Grid().GetMergedTopLeft(n - 1, 0), (CCellID{4, 0}));
    EXPECT_FALSE(CellText(4).isEmpty());

    QTreeWidgetItem* root = Frame().Tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), Q(State().FunctionSettings().Title(dt::LANG_ENGLISH)));
    EXPECT_EQ(root->child(1)->text(0), Q(State().Tables().ParameterSettings().Title(dt::LANG_ENGLISH)));
    EXPECT_EQ(root->child(0)->childCount(), 0);

    // Picking the parameter title jumps to row 4.
    Frame().Tree()->setCurrentItem(root->child(1));
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{4, 0}));

    fileAnswers.push_back(WorkPath("foc.ged").toStdString());
    Press(CControlPanel::IDC_EXPORT);
    ASSERT_EQ(fileQuestions.size(), 1u);
    EXPECT_EQ(fileQuestions[0].defaultExt, "ged");
    EXPECT_EQ(fileQuestions[0].filter, "DriveTune file(*.ged)");
    EXPECT_EQ(QFileInfo(WorkPath("foc.ged")).size(), 32);
}

TEST_F(FocTest, VoltagePickWritesItsPairAndValidationReportsBounds) {
    ASSERT_TRUE(PickChoice(5, "36"));
    EXPECT_EQ(CellText(6), "52.0");
    EXPECT_EQ(CellText(7), "31.0");
    EXPECT_EQ(CellText(5), "36");

    TypeValue(4, "5");
    messages.clear();
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_EQ(messages.size(), 1u);
    const std::string name4 = State().Tables().FocSettings().rows[4].name_en;
    EXPECT_EQ(messages[0].text, "Input data is not legitimate\n\n" + name4 + "=5 : 10 ≤ x ≤ 100");
    EXPECT_EQ(Grid().GetItemBkColour(4, 2), QColor(255, 0, 0));
    EXPECT_EQ(Grid().GetItemBkColour(6, 2), QColor(235, 240, 220));

    TypeValue(4, "50");
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    EXPECT_EQ(messages[1].text, "Download parameters successfully");
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(3));
    EXPECT_EQ(CellText(4), "50");
    EXPECT_EQ(CellText(5), "36");
    EXPECT_EQ(CellText(6), "52");
}

// The allowed range while editing: the voltage rows follow the nominal voltage.
TEST_F(FocTest, TheAllowedRangeOfTheVoltageRowsFollowsTheNominalVoltage) {
    EXPECT_EQ(View().AllowedLine(4), "Allowed: 10 … 100");
    ASSERT_TRUE(PickChoice(5, "36"));
    EXPECT_EQ(View().AllowedLine(6), "Allowed: 48 … 65 V");
    EXPECT_EQ(View().AllowedLine(7), "Allowed: 27 … 36 V");
    ASSERT_TRUE(PickChoice(5, "24"));
    EXPECT_EQ(View().AllowedLine(6), "Allowed: 36 … 65 V");
    EXPECT_EQ(View().AllowedLine(7), "Allowed: 19 … 24 V");
    // The list of nominal voltages itself has no range line.
    EXPECT_EQ(View().AllowedLine(5), "");
}

class TreeAndHintTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartApp([] { return std::vector<std::string>{}; });
    }
};

TEST_F(TreeAndHintTest, ClickingAGroupTitleMovesTheGridThere) {
    QTreeWidget& tree = *Frame().Tree();
    QTreeWidgetItem* group = Frame().ParameterItem()->child(3);
    const QRect r = tree.visualItemRect(group);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    const int first = State().Tables().ParameterSettings().GroupFirstRow(3);
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{first, 0}));

    // The function title goes to row P; the root changes nothing.
    Frame().FunctionItem()->setExpanded(true);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.visualItemRect(Frame().FunctionItem()).center());
    const int P = State().Tables().ParameterSettings().rowCount;
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{P, 0}));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, tree.visualItemRect(Frame().RootItem()).center());
    EXPECT_EQ(Grid().GetFocusCell(), (CCellID{P, 0}));
    // Its last group scrolls into view.
    QTreeWidgetItem* last = Frame().FunctionItem()->child(Frame().FunctionItem()->childCount() - 1);
    tree.setCurrentItem(last);
    const CCellID focus = Grid().GetFocusCell();
    EXPECT_TRUE(Grid().viewport()->rect().intersects(Grid().CellRect(focus.row, focus.col)));
}

TEST_F(TreeAndHintTest, ClickingANameShowsItsHintInTheBalloon) {
    const int row = 3;  // pole pairs
    const dt::ParamDescriptor& d = State().Tables().ParameterSettings().rows[row];
    ASSERT_FALSE(d.hint_en.empty());
    Grid().EnsureVisible(row, 1);
    const QRect cell = Grid().CellRect(row, 1);
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    const QString expected = Q(d.name_en + ":\n\n" + d.hint_en);
    EXPECT_EQ(View().LastHint(), expected);
    EXPECT_EQ(View().Balloon()->Text(), expected);
    EXPECT_TRUE(View().Balloon()->IsWaiting());

    // Value cells and rows without a hint show nothing new.
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, Grid().CellRect(5, 1).center());
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, Grid().CellRect(row + 1, 2).center());
    EXPECT_EQ(View().LastHint(), expected);
}

TEST_F(TreeAndHintTest, GroupCellsAreMergedAndColouredByPalette) {
    const auto& P = State().Tables().ParameterSettings();
    const int p = P.rowCount;
    EXPECT_EQ(Grid().GetItemBkColour(0, 0), QColor(100, 150, 50));
    EXPECT_EQ(Grid().GetItemFgColour(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(Grid().GetMergedTopLeft(0, 2), (CCellID{0, 0}));
    EXPECT_EQ(Grid().GetItemBkColour(p, 0), QColor(70, 110, 90));
    EXPECT_EQ(Grid().GetItemBkColour(1, 0), QColor(200, 210, 160));            // group 0
    EXPECT_EQ(Grid().GetItemBkColour(P.GroupFirstRow(1), 0), QColor(225, 230, 210));  // group 1
    EXPECT_EQ(Grid().GetMergedTopLeft(P.groups[0].rows, 0), (CCellID{1, 0}));
    EXPECT_EQ(Grid().GetItemBkColour(1, 1), QColor(200, 210, 160));  // odd row name
    EXPECT_EQ(Grid().GetItemBkColour(2, 2), QColor(235, 240, 220));  // even row value
    EXPECT_EQ(Grid().GetItemBkColour(p + 1, 1), QColor(p % 2 ? 215 : 165, p % 2 ? 220 : 190, p % 2 ? 210 : 180));
    EXPECT_EQ(Grid().GetItemState(1, 1), unsigned(GVIS_READONLY));
    EXPECT_EQ(Grid().GetColumnWidth(0), 280);
    EXPECT_EQ(Grid().GetColumnWidth(1), 300);
    EXPECT_EQ(Grid().GetColumnWidth(2), 150);
    ASSERT_NE(Grid().GetComboCell(6, 2), nullptr);
    EXPECT_EQ(Grid().GetComboCell(6, 2)->GetStyle(), CBS_DROPDOWNLIST);
    EXPECT_EQ(Grid().GetItemFont(2, 2)->family(), QStringLiteral("宋体"));
    EXPECT_EQ(Grid().GetItemFont(2, 2)->pointSizeF(), 14.0);
    EXPECT_EQ(Grid().GetItemFont(1, 0)->family(), QStringLiteral("Arial"));
    EXPECT_EQ(Grid().GetItemFont(1, 0)->pointSizeF(), 13.0);
}

}  // namespace
