// Undo, redo and revert of value cells against the virtual controller: typed edits, choices,
// the nominal-voltage pick and an import each one step; a read starting a new history; the
// value cell's menu by mouse and keyboard; the question before an upload over changes.
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QUndoStack>

#include <memory>

#include "EditingFixture.h"
#include "GridCell.h"
#include "MainFrame.h"
#include "MessageDlg.h"

namespace {

class EditHistoryTest : public EditingTest {
protected:
    std::vector<QString> AllCells() {
        std::vector<QString> cells(Grid().GetRowCount());
        for (int row = 0; row < Grid().GetRowCount(); ++row) cells[row] = CellText(row);
        return cells;
    }
    void Undo() { QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { QTest::keyClick(&Grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    void RedoByY() { QTest::keyClick(&Grid(), Qt::Key_Y, Qt::ControlModifier); }

    void SetUpEditing() {
        StartApp();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        ASSERT_TRUE(ConnectAndUpload());
    }

    // A nominal voltage the controller offers other than the one shown.
    QString OtherVoltage() {
        const dt::OptionList& voltages = State().lists.lists[0];
        return Q(voltages.back() == CellText(kNominalRow).toStdString() ? voltages.front() : voltages.back());
    }

    QStringList MenuTexts(int row) {
        std::unique_ptr<QMenu> menu(View().CreateContextMenu(row));
        QStringList texts;
        if (!menu) return texts;
        for (QAction* a : menu->actions()) texts << a->text();
        return texts;
    }
    // Triggers the menu entry of `row` with this text; false when there is none or it is greyed.
    bool Choose(int row, const QString& text) {
        std::unique_ptr<QMenu> menu(View().CreateContextMenu(row));
        if (!menu) return false;
        for (QAction* a : menu->actions())
            if (a->text() == text && a->isEnabled()) {
                a->trigger();
                return true;
            }
        return false;
    }
};

TEST_F(EditHistoryTest, TypedEditsAndChoicesAreUndoneAndRedoneOneAtATime) {
    SetUpEditing();
    const std::vector<QString> read = AllCells();
    const QString typed = OtherValue(kAccelerationRow);
    const QString choice = OtherChoice(kSoftUndervoltageRow);
    TypeValue(kAccelerationRow, typed);
    // Moves through the open list are one step with the choice they end on.
    ASSERT_TRUE(PickChoice(kSoftUndervoltageRow, choice));
    ASSERT_EQ(View().History()->count(), 2);

    Undo();
    EXPECT_EQ(CellText(kSoftUndervoltageRow), read[kSoftUndervoltageRow]);
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow}));
    Undo();
    EXPECT_EQ(AllCells(), read);
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(State().sheet.ChangedCount(), 0);
    Undo();  // nothing left: nothing changes
    EXPECT_EQ(AllCells(), read);

    Redo();
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    RedoByY();
    EXPECT_EQ(CellText(kSoftUndervoltageRow), choice);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kSoftUndervoltageRow, kAccelerationRow}));
    EXPECT_EQ(State().sheet.Text(kAccelerationRow), typed.toStdString());
    // Undo only shows: nothing was sent, no message came.
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(Panel().IsBusy());
}

TEST_F(EditHistoryTest, UndoWaitsWhileAListIsOpen) {
    SetUpEditing();
    const QString typed = OtherValue(kAccelerationRow);
    TypeValue(kAccelerationRow, typed);
    Grid().setFocus();
    Grid().SetFocusCell(kSoftUndervoltageRow, 2);
    QTest::keyClick(&Grid(), Qt::Key_F2);
    QWidget* list = Grid().InPlaceEditor();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    // Nor does the window's own Ctrl+Z, from wherever it comes.
    for (QAction* action : View().actions())
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_Z)) action->trigger();
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    if (Grid().InPlaceEditor()) QTest::keyClick(Grid().InPlaceEditor(), Qt::Key_Escape);
    Undo();
    EXPECT_NE(CellText(kAccelerationRow), typed);
}

TEST_F(EditHistoryTest, ANominalVoltagePickIsOneStep) {
    SetUpEditing();
    const std::vector<QString> read = AllCells();
    const dt::VoltageClassState voltage = State().voltage;
    ASSERT_GT(State().lists.lists[0].size(), 1u);
    const QString pick = OtherVoltage();
    ASSERT_TRUE(PickChoice(kNominalRow, pick));
    const std::vector<QString> picked = AllCells();
    ASSERT_GE(MarkedRows().size(), 4u);
    ASSERT_EQ(View().History()->count(), 1);
    // Named after the pick alone, from the value the list opened on.
    const QString step = "Nominal battery voltage (V): " + read[kNominalRow] + " → " + pick;
    EXPECT_EQ(MenuTexts(kNominalRow).first(2), (QStringList{"Undo " + step, "Redo"}));

    Undo();
    EXPECT_EQ(AllCells(), read);
    EXPECT_EQ(MenuTexts(kNominalRow).first(2), (QStringList{"Undo", "Redo " + step}));
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(State().voltage.nominalVoltage, voltage.nominalVoltage);
    EXPECT_EQ(State().voltage.minWorkVoltage, voltage.minWorkVoltage);
    Redo();
    EXPECT_EQ(AllCells(), picked);
    EXPECT_NE(State().voltage.nominalVoltage, voltage.nominalVoltage);
    // The list opened again is a step of its own, even back to the value read.
    ASSERT_TRUE(PickChoice(kNominalRow, read[kNominalRow]));
    EXPECT_EQ(View().History()->count(), 2);
}

// The current limits belong to the voltage class shown: a pick, its undo and redo, and Revert all
// each bring the limits of their class, as the maximum phase current's allowed range says.
TEST_F(EditHistoryTest, TheCurrentLimitsFollowEveryChangeOfTheVoltageClass) {
    // Eight MOSFETs of type 1 and voltage class 150: limited to 370 A at 120 V, 450 A below.
    QFile sample(QString(DT_SOURCE_DIR) + "/samples/standard-b.foc");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QByteArray bytes = sample.readAll();
    bytes[0] = 0x01;
    bytes[2 * 12] = 0;
    bytes[2 * 12 + 1] = static_cast<char>(150);
    WriteFile("type1.foc", bytes);
    StopSim();
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--file", WorkPath("type1.foc")}));
    SetUpEditing();
    const int row = RowOfRule(State(), dt::RULE_MAX_PHASE_CURRENT);
    const QString below120 = "Allowed: 1.0 … 450.0 A", at120 = "Allowed: 1.0 … 370.0 A";
    ASSERT_EQ(View().AllowedLine(row), below120);
    ASSERT_TRUE(PickChoice(kNominalRow, "120"));
    EXPECT_EQ(View().AllowedLine(row), at120);
    Undo();
    EXPECT_EQ(View().AllowedLine(row), below120);
    Redo();
    EXPECT_EQ(View().AllowedLine(row), at120);
    ASSERT_TRUE(Choose(kAccelerationRow, "Revert all changes"));
    EXPECT_EQ(View().AllowedLine(row), below120);
}

// Only a change is a step: the same value typed again is none, and an import that changes words
// the grid does not show is one all the same.
TEST_F(EditHistoryTest, OnlyChangesAreStepsSeenOrNot) {
    SetUpEditing();
    const QString shown = CellText(kAccelerationRow);
    TypeValue(kAccelerationRow, " " + shown);
    EXPECT_FALSE(View().History()->canUndo());
    // Shown as the sheet holds it, indented as every value.
    EXPECT_EQ(Grid().GetCell(kAccelerationRow, 2)->GetText(), "    " + shown);

    const auto block = State().block.bytes;
    QByteArray bytes(reinterpret_cast<const char*>(block.data()), static_cast<int>(block.size()));
    bytes[2 * 3 + 1] = static_cast<char>(bytes[2 * 3 + 1] ^ 1);  // MAX_BEMF: no row shows it
    WriteFile("unseen.foc", bytes);
    fileAnswers.push_back(WorkPath("unseen.foc").toStdString());
    Press(CControlPanel::IDC_IMPORT);
    ASSERT_TRUE(WaitForMessages(2));
    ASSERT_EQ(messages.back().text, State().Message(dt::MSG_IMPORT_OK));
    ASSERT_FALSE(State().block.bytes == block);
    ASSERT_TRUE(View().History()->canUndo());
    Undo();
    EXPECT_TRUE(State().block.bytes == block);
}

TEST_F(EditHistoryTest, AnImportIsOneStepBlocksIncluded) {
    SetUpEditing();
    const std::vector<QString> read = AllCells();
    const auto block = State().block.bytes;
    ImportWithTwoChanges();
    ASSERT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow, kDecelerationRow}));

    Undo();
    EXPECT_EQ(AllCells(), read);
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_TRUE(State().block.bytes == block);
    Redo();
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow, kDecelerationRow}));
    EXPECT_FALSE(State().block.bytes == block);
}

// A step takes back cells, never what was sent: after a download the undone value is marked
// against the downloaded one, and an export still writes the set the controller holds.
TEST_F(EditHistoryTest, UndoAfterADownloadLeavesTheSetSent) {
    SetUpEditing();
    const auto exported = [this] {
        fileAnswers.push_back(WorkPath("set.foc").toStdString());
        Press(CControlPanel::IDC_EXPORT);
        QFile f(WorkPath("set.foc"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString read = CellText(kAccelerationRow), typed = OtherValue(kAccelerationRow);
    TypeValue(kAccelerationRow, typed);
    ASSERT_TRUE(View().RevertAll());
    TypeValue(kAccelerationRow, typed);
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    ASSERT_EQ(messages.back().text, "Download parameters successfully");
    const QByteArray sent = exported();
    ASSERT_EQ(sent.size(), 1024);

    Undo();
    EXPECT_EQ(CellText(kAccelerationRow), read);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow}));
    EXPECT_EQ(exported(), sent);
    Undo();  // Revert all: the value sent is back, and is the controller's
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(exported(), sent);
}

TEST_F(EditHistoryTest, ACompletedReadStartsANewHistory) {
    SetUpEditing();
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    messageAnswers.push_back(CMessageDlg::IDYES);
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(3));
    ASSERT_EQ(messages.back().text, "Upload parameters successfully");
    const std::vector<QString> read = AllCells();
    EXPECT_FALSE(View().History()->canUndo());
    Undo();
    EXPECT_EQ(AllCells(), read);
    EXPECT_TRUE(MarkedRows().empty());
}

// The grid is built anew in the other language; steps of the old texts would bring them back.
TEST_F(EditHistoryTest, ALanguageSwitchStartsANewHistory) {
    SetUpEditing();
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    ASSERT_TRUE(View().History()->canUndo());
    UseChinese();
    Panel().ToggleLanguage();
    EXPECT_FALSE(View().History()->canUndo());
}

TEST_F(EditHistoryTest, RevertOneRowAndAllFromTheMenu) {
    SetUpEditing();
    const QString acceleration = CellText(kAccelerationRow);
    const QString deceleration = CellText(kDecelerationRow);
    EXPECT_EQ(MenuTexts(kAccelerationRow), (QStringList{"Undo", "Redo", "Revert all changes"}));
    const QString typed = OtherValue(kAccelerationRow), typed2 = OtherValue(kDecelerationRow);
    TypeValue(kAccelerationRow, typed);
    TypeValue(kDecelerationRow, typed2);
    const QString lastStep = "Undo Deceleration (rpm/s): " + deceleration + " → " + typed2;
    EXPECT_EQ(MenuTexts(kAccelerationRow),
              (QStringList{lastStep, "Redo", "Revert to the controller's value (" + acceleration + ")",
                           "Revert all changes"}));
    // Neither names nor titles are value cells.
    EXPECT_EQ(View().CreateContextMenu(0), nullptr);

    ASSERT_TRUE(Choose(kAccelerationRow, "Revert to the controller's value (" + acceleration + ")"));
    EXPECT_EQ(CellText(kAccelerationRow), acceleration);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kDecelerationRow}));
    ASSERT_TRUE(Choose(kAccelerationRow, "Undo Acceleration (rpm/s): " + typed + " → " + acceleration));
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow, kDecelerationRow}));

    ASSERT_TRUE(Choose(kDecelerationRow, "Revert all changes"));
    EXPECT_EQ(CellText(kAccelerationRow), acceleration);
    EXPECT_EQ(CellText(kDecelerationRow), deceleration);
    EXPECT_TRUE(MarkedRows().empty());
    EXPECT_EQ(State().sheet.ChangedCount(), 0);
    EXPECT_FALSE(Choose(kDecelerationRow, "Revert all changes")) << "greyed without changes";
    Undo();
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow, kDecelerationRow}));
}

TEST_F(EditHistoryTest, RevertingTheNominalVoltageBringsBackItsVoltageClass) {
    SetUpEditing();
    const QString nominal = CellText(kNominalRow);
    const int voltage = State().voltage.nominalVoltage;
    ASSERT_TRUE(PickChoice(kNominalRow, OtherVoltage()));
    ASSERT_TRUE(Choose(kNominalRow, "Revert to the controller's value (" + nominal + ")"));
    EXPECT_EQ(CellText(kNominalRow), nominal);
    EXPECT_EQ(State().voltage.nominalVoltage, voltage);
}

TEST_F(EditHistoryTest, TheMenuInChinese) {
    UseChinese();
    SetUpEditing();
    const QString acceleration = CellText(kAccelerationRow);
    const QString typed = OtherValue(kAccelerationRow);
    TypeValue(kAccelerationRow, typed);
    EXPECT_EQ(MenuTexts(kAccelerationRow),
              (QStringList{"撤销 加速度 (rpm/s): " + acceleration + " → " + typed, "重做",
                           "恢复为控制器的值 (" + acceleration + ")", "撤销全部修改"}));
    ASSERT_TRUE(Choose(kAccelerationRow, "撤销全部修改"));
    EXPECT_EQ(MenuTexts(kAccelerationRow).first(2), (QStringList{"撤销 全部恢复为控制器的值", "重做"}));
    const QString nominal = CellText(kNominalRow), pick = OtherVoltage();
    ASSERT_TRUE(PickChoice(kNominalRow, pick));
    EXPECT_EQ(MenuTexts(kNominalRow).first(2),
              (QStringList{"撤销 电池标称电压 (V): " + nominal + " → " + pick, "重做"}));
}

// Undo and redo from the menu, each entry naming its step; an import is named after its file.
TEST_F(EditHistoryTest, TheMenuNamesTheStepsItUndoesAndRedoes) {
    SetUpEditing();
    const QString read = CellText(kAccelerationRow), typed = OtherValue(kAccelerationRow);
    TypeValue(kAccelerationRow, typed);
    const QString step = "Acceleration (rpm/s): " + read + " → " + typed;
    ASSERT_TRUE(Choose(kAccelerationRow, "Undo " + step));
    EXPECT_EQ(CellText(kAccelerationRow), read);
    EXPECT_TRUE(MarkedRows().empty());
    ASSERT_TRUE(Choose(kAccelerationRow, "Redo " + step));
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    EXPECT_EQ(MarkedRows(), (std::set<int>{kAccelerationRow}));
    EXPECT_FALSE(Choose(kAccelerationRow, "Redo")) << "greyed with nothing to redo";

    ImportWithTwoChanges();
    EXPECT_EQ(MenuTexts(kAccelerationRow).first(2), (QStringList{"Undo Import changed.foc", "Redo"}));
}

TEST_F(EditHistoryTest, TheMouseAndTheKeyboardOpenTheMenuOfTheirCell) {
    SetUpEditing();
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    // The mouse: the menu of the cell under it, an unmarked one here.
    Grid().EnsureVisible(kDecelerationRow, 2);
    const QPoint at = Grid().CellRect(kDecelerationRow, 2).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, Grid().viewport()->mapToGlobal(at));
    QApplication::sendEvent(Grid().viewport(), &click);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().size(), 3);
    menu->close();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000));
    // A name cell has no menu.
    const QPoint name = Grid().CellRect(kDecelerationRow, 1).center();
    QContextMenuEvent onName(QContextMenuEvent::Mouse, name, Grid().viewport()->mapToGlobal(name));
    QApplication::sendEvent(Grid().viewport(), &onName);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    for (const auto& [key, mods] : {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
        Grid().setFocus();
        Grid().SetFocusCell(kAccelerationRow, 2);
        QTest::keyClick(&Grid(), key, mods);
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000)) << key;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 4);
        EXPECT_TRUE(menu->actions()[2]->text().startsWith("Revert to the controller's value ("));
        menu->close();
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000));
    }
}

TEST_F(EditHistoryTest, UploadOverChangesAsksFirst) {
    SetUpEditing();
    const QString acceleration = CellText(kAccelerationRow);
    const QString typed = OtherValue(kAccelerationRow);
    TypeValue(kAccelerationRow, typed);
    TypeValue(kDecelerationRow, OtherValue(kDecelerationRow));

    messageAnswers.push_back(CMessageDlg::IDNO);
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text,
              "2 values changed and not downloaded will be replaced by the controller's. Upload anyway?");
    EXPECT_EQ(messages[1].type, dt::MB_YESNO | dt::MB_ICON_QUESTION | dt::MB_DEFBUTTON2);
    // No: nothing is sent and the edits stay.
    EXPECT_FALSE(Panel().IsBusy());
    QTest::qWait(300);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(CellText(kAccelerationRow), typed);
    EXPECT_EQ(MarkedRows().size(), 2u);

    TypeValue(kDecelerationRow, CellText(kDecelerationRow) == "600" ? "700" : "600");
    ASSERT_TRUE(Choose(kDecelerationRow, "Revert to the controller's value (" +
                                             Q(*State().sheet.Baseline(kDecelerationRow)) + ")"));
    messageAnswers.push_back(CMessageDlg::IDYES);
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(4));
    EXPECT_EQ(messages[2].text, "1 value changed and not downloaded will be replaced by the controller's. Upload anyway?");
    EXPECT_EQ(messages[3].text, "Upload parameters successfully");
    EXPECT_EQ(CellText(kAccelerationRow), acceleration);
    EXPECT_TRUE(MarkedRows().empty());

    // Without changes it does not ask.
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(5));
    EXPECT_EQ(messages[4].text, "Upload parameters successfully");
}

TEST_F(EditHistoryTest, TheUploadQuestionInChinese) {
    UseChinese();
    SetUpEditing();
    TypeValue(kAccelerationRow, OtherValue(kAccelerationRow));
    messageAnswers.push_back(CMessageDlg::IDNO);
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "1 个参数已修改但尚未下载，将被控制器的值替换。仍要上传吗？");
    TypeValue(kDecelerationRow, OtherValue(kDecelerationRow));
    messageAnswers.push_back(CMessageDlg::IDNO);
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].text, "2 个参数已修改但尚未下载，将被控制器的值替换。仍要上传吗？");
}

}  // namespace
