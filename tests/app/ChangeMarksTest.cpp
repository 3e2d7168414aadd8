// Changed values against the virtual controller: which cells are marked after edits, choices,
// a nominal-voltage pick and an import; the marks going after an upload and after a stored
// download, staying after a refused one; the controller's value in the hint balloon; and a
// choice list closed without a choice keeping the cell's value.
#include <QListWidget>
#include <QTest>
#include <QTreeWidgetItem>

#include <set>

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "GridPasses.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "QtText.h"
#include "RangeRules.h"
#include "StatusLine.h"
#include "ToolState.h"
#include "WindowHarness.h"
#include "EditingFixture.h"

namespace {

using ChangeMarksTest = EditingTest;

TEST_F(ChangeMarksTest, NothingIsMarkedBeforeTheFirstRead) {
    StartApp();
    TypeValue(kAccelerationRow, "600");
    EXPECT_EQ(CellText(kAccelerationRow), "600");
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(View().ChangedCount(), 0);
}

TEST_F(ChangeMarksTest, EditsAndChoicesAreMarkedUntilTheNextUpload) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_TRUE(MarkedRows().empty());
    const QFont font = *Grid().GetItemFont(kAccelerationRow, 2);
    const QColor fg = Grid().GetItemFgColour(kAccelerationRow, 2);
    const QColor bk = Grid().GetItemBkColour(kAccelerationRow, 2);
    const QString original = CellText(kAccelerationRow);

    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    ASSERT_TRUE(PickChoice(kSoftUndervoltageRow, OtherChoice(kSoftUndervoltageRow)));
    EXPECT_EQ(MarkedRows(), (std::set<int>{kSoftUndervoltageRow, kAccelerationRow}));
    EXPECT_EQ(View().ChangedCount(), 2);
    // The mark is drawn over the cell; its own font and colours stay.
    EXPECT_EQ(*Grid().GetItemFont(kAccelerationRow, 2), font);
    EXPECT_EQ(Grid().GetItemFgColour(kAccelerationRow, 2), fg);
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), bk);

    // Typed back, the value is the controller's again.
    TypeValue(kAccelerationRow, original);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kSoftUndervoltageRow}));

    messageAnswers.push_back(CMessageDlg::IDYES);  // replace the change not downloaded
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(3));
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(View().ChangedCount(), 0);
}

TEST_F(ChangeMarksTest, NominalVoltagePickMarksTheCellsItChanged) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    std::vector<QString> before(Grid().GetRowCount());
    for (int row = 0; row < Grid().GetRowCount(); ++row) before[row] = CellText(row);
    const dt::OptionList& voltages = State().lists.lists[0];
    ASSERT_GT(voltages.size(), 1u);
    const std::string pick = voltages.back() == CellText(kNominalRow).toStdString() ? voltages.front() : voltages.back();
    ASSERT_TRUE(PickChoice(kNominalRow, Q(pick)));

    std::set<int> changed;
    for (int row = 0; row < Grid().GetRowCount(); ++row)
        if (CellText(row) != before[row]) changed.insert(row);
    std::set<int> written{kNominalRow};
    for (int i = 0; i < 6; ++i) written.insert(dt::VoltagePickRow(State(), i));
    for (int row : changed) EXPECT_TRUE(written.count(row)) << row;
    EXPECT_GE(changed.size(), 4u) << "a pick writes six cells";
    EXPECT_EQ(MarkedRows(), changed);
}

TEST_F(ChangeMarksTest, AnImportShowsWhereTheFileDiffersFromTheController) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    ImportWithTwoChanges();
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow, kDecelerationRow}));
    EXPECT_EQ(View().ChangedCount(), 2);
}

// A language switch rebuilds the grid; the controller's values stay the baseline.
TEST_F(ChangeMarksTest, ALanguageSwitchKeepsTheMarks) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    ImportWithTwoChanges();
    UseChinese();
    Panel().ToggleLanguage();
    ASSERT_EQ(State().language, dt::LANG_CHINESE);
    ASSERT_NE(Frame().ParameterItem(), nullptr) << "the tree is rebuilt in Chinese";
    EXPECT_EQ(Frame().ParameterItem()->text(0).toStdString(), State().Tables().ParameterSettings().Title(dt::LANG_CHINESE));
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow, kDecelerationRow}));
    EXPECT_EQ(View().ChangedCount(), 2);
}

TEST_F(ChangeMarksTest, AStoredDownloadClearsTheMarksARefusedOneKeepsThem) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    TypeValue(kAccelerationRow, "99999");
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_EQ(messages.size(), 2u);
    ASSERT_EQ(messages[1].type, dt::MB_ICON_ERROR);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow}));

    const QString accepted = OtherValue(kDecelerationRow);
    TypeValue(kAccelerationRow, "600");
    TypeValue(kDecelerationRow, accepted);
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(3));
    ASSERT_EQ(messages[2].text, State().Message(dt::MSG_DOWNLOAD_OK));
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(View().ChangedCount(), 0);

    // The sent values are now the controller's: a new edit is measured against them.
    TypeValue(kDecelerationRow, accepted == "600" ? "700" : "600");
    EXPECT_EQ(MarkedRows(), (std::set<int>{kDecelerationRow}));
    TypeValue(kDecelerationRow, accepted);
    EXPECT_TRUE(MarkedRows().empty());
}

TEST_F(ChangeMarksTest, ADownloadTheControllerDidNotStoreKeepsTheMarks) {
    StopSim();
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--fail-store"}));
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    ASSERT_EQ(messages[1].text, State().Message(dt::MSG_DOWNLOAD_FAILED));
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow}));
}

TEST_F(ChangeMarksTest, DefaultAfterAStoredDownloadMarksTheRestoredSetNotTheSentOne) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    const QString factory = CellText(kAccelerationRow);
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    ASSERT_EQ(messages[1].text, "Download parameters successfully");
    ASSERT_TRUE(MarkedRows().empty());

    // The controller brings back its factory set and the read that follows shows it.
    Press(CControlPanel::IDC_DEFAULT);
    ASSERT_TRUE(WaitForMessages(4));
    ASSERT_EQ(messages[2].text.rfind("Restore the default parameters successfully\nThe replaced set is kept in the backup ", 0), 0u);
    ASSERT_EQ(messages[3].text, "Upload parameters successfully");
    ASSERT_EQ(CellText(kAccelerationRow), factory);
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(View().ChangedCount(), 0);
    EXPECT_EQ(Frame().StatusLine()->ChangedText(), "");
    EXPECT_FALSE(HintOf(kAccelerationRow).contains("Controller:"));
}

// A text.ini may give the stored and the refused download the same words; the marks must
// still follow what the controller answered.
TEST_F(ChangeMarksTest, ARefusedDownloadKeepsItsMarksWhateverItsMessageSays) {
    StopSim();
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--fail-store"}));
    WriteFile("text.ini", QByteArray("\xEF\xBB\xBF") + QStringLiteral("2004=下载完毕\n2022=下载完毕\n").toUtf8());
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    ASSERT_EQ(messages[1].text, "下载完毕");
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow}));
    EXPECT_EQ(View().ChangedCount(), 1);
}

TEST_F(ChangeMarksTest, TheBalloonOfAMarkedRowEndsWithTheControllersValue) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    const QString original = CellText(kAccelerationRow);
    const QString unchangedHint = HintOf(kAccelerationRow);
    ASSERT_FALSE(unchangedHint.isEmpty());
    EXPECT_FALSE(unchangedHint.contains("Controller:"));

    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    EXPECT_EQ(HintOf(kAccelerationRow), unchangedHint + "\nController: " + original);
    // Other rows keep their plain hint.
    EXPECT_FALSE(HintOf(kDecelerationRow).contains("Controller:"));
}

TEST_F(ChangeMarksTest, TheControllersValueInChinese) {
    UseChinese();
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    ASSERT_EQ(State().language, dt::LANG_CHINESE);
    const QString original = CellText(kAccelerationRow);
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    EXPECT_TRUE(HintOf(kAccelerationRow).endsWith("\n控制器: " + original)) << HintOf(kAccelerationRow).toStdString();
}

TEST_F(ChangeMarksTest, AChoiceListClosedWithoutAChoiceKeepsTheValue) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    const QString original = CellText(kSoftUndervoltageRow);
    ASSERT_FALSE(original.isEmpty());
    // Esc, Enter, or a click on another cell, with no option selected.
    for (int way = 0; way < 3; ++way) {
        Grid().setFocus();
        Grid().SetFocusCell(kSoftUndervoltageRow, 2);
        ASSERT_TRUE(Grid().EditCell(kSoftUndervoltageRow, 2));
        auto* list = qobject_cast<CGridInPlaceList*>(Grid().InPlaceEditor());
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->CurrentIndex(), -1);
        QWidget* keys = list->List()->isVisible() ? static_cast<QWidget*>(list->List()) : list;
        if (way == 0) QTest::keyClick(keys, Qt::Key_Escape);
        if (way == 1) QTest::keyClick(keys, Qt::Key_Return);
        if (way == 2) {
            list->HideDropDown();
            QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier,
                              Grid().CellRect(kSoftUndervoltageRow + 1, 1).center());
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Grid().IsEditing(); }, 2000)) << way;
        EXPECT_EQ(CellText(kSoftUndervoltageRow), original) << way;
        EXPECT_TRUE(MarkedRows().empty()) << way;
    }
}

}  // namespace
