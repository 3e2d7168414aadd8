// The buttons against the virtual controller: connect and upload, edits, voltage presets,
// refused and accepted downloads, store, defaults and the reply time-out.
#include <QElapsedTimer>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

#include "Backups.h"
#include "QtText.h"
#include "ReplyTimeout.h"

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "PortBox.h"
#include "RangeRules.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class CommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(StartSim());
        StartApp();
    }

    bool AllControlsEnabled(bool enabled) {
        for (int i = 0; i < CControlPanel::kButtonCount; ++i)
            if (Panel().Button(CControlPanel::IDC_CONNECT + i)->isEnabled() != enabled) return false;
        return Panel().PortBox()->isEnabled() == enabled;
    }

    // An in-range integer for the acceleration row other than the one shown.
    QString OtherAcceleration() {
        const dt::RangeBounds b = dt::RuleBounds(State(), State().Tables().ParameterSettings().rows[kAccelerationRow].range);
        const int current = CellText(kAccelerationRow).toInt();
        const int pick = static_cast<int>(b.min) + 1 == current ? static_cast<int>(b.min) + 2 : static_cast<int>(b.min) + 1;
        return QString::number(pick);
    }
};

TEST_F(CommandsTest, ConnectUploadsAndFillsGridAndTree) {
    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_EQ(messages.back().type, dt::MB_ICON_INFO);
    EXPECT_TRUE(State().link.identityReceived);
    EXPECT_TRUE(State().dataValid);
    EXPECT_TRUE(AllControlsEnabled(true));
    EXPECT_FALSE(Panel().IsBusy());

    // Every value cell of a record with a kind holds text, indented by four spaces.
    const auto& P = State().Tables().ParameterSettings();
    for (int i = 1; i < P.rowCount; ++i) {
        const QString raw = Grid().GetCell(i, 2)->GetText();
        if (P.rows[i].kind == 0) EXPECT_TRUE(raw.isEmpty()) << i;
        else EXPECT_TRUE(raw.startsWith("    ") && raw.size() > 4) << i << " " << raw.toStdString();
    }
    EXPECT_FALSE(CellText(P.rowCount + 1).isEmpty());
    // Editable values blue, read-only grey.
    EXPECT_EQ(Grid().GetItemFgColour(kAccelerationRow, 2), QColor(0, 0, 255));
    EXPECT_EQ(Grid().GetItemState(kAccelerationRow, 2), unsigned(GVIS_MODIFIED));
    EXPECT_EQ(Grid().GetItemFgColour(49, 2), QColor(128, 128, 128));  // warranty date
    EXPECT_TRUE(Grid().GetItemState(49, 2) & GVIS_READONLY);

    // The tree was rebuilt for the controller's function table.
    QTreeWidgetItem* root = Frame().RootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Frame().FunctionItem()->childCount(), State().FunctionSettings().groupCount);
}

TEST_F(CommandsTest, EditedValueAndChoiceReachTheController) {
    ASSERT_TRUE(ConnectAndUpload());
    const QString accel = OtherAcceleration();
    TypeValue(kAccelerationRow, accel);
    EXPECT_EQ(CellText(kAccelerationRow), accel);

    const dt::OptionList& choices = State().lists.lists[1];
    ASSERT_EQ(choices.size(), 2u);
    const QString other = CellText(kSoftUndervoltageRow) == Q(choices[0]) ? Q(choices[1]) : Q(choices[0]);
    ASSERT_TRUE(PickChoice(kSoftUndervoltageRow, other));
    EXPECT_EQ(CellText(kSoftUndervoltageRow), other);

    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    EXPECT_EQ(messages[1].text, "Download parameters successfully");

    // What the controller holds now comes back on the next upload.
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(3));
    EXPECT_EQ(messages[2].text, "Upload parameters successfully");
    EXPECT_EQ(CellText(kAccelerationRow), accel);
    EXPECT_EQ(CellText(kSoftUndervoltageRow), other);
}

TEST_F(CommandsTest, NominalVoltagePickWritesThePresets) {
    ASSERT_TRUE(ConnectAndUpload());
    const dt::OptionList& voltages = State().lists.lists[0];
    ASSERT_FALSE(voltages.empty());
    const std::string pick = voltages.back() == CellText(kNominalRow).toStdString() && voltages.size() > 1
                                 ? voltages.front()
                                 : voltages.back();
    ASSERT_TRUE(PickChoice(kNominalRow, Q(pick)));
    int k = 0;
    while (dt::kNominalVoltages[k] != pick) ++k;
    const int columns[6] = {0, 1, 2, 3, 4, 6};
    for (int i = 0; i < 6; ++i) {
        const int row = dt::VoltagePickRow(State(), i);
        EXPECT_EQ(Grid().GetCell(row, 2)->GetText(), "    " + Q(dt::kVoltagePresets[k][columns[i]])) << row;
    }
    EXPECT_EQ(CellText(kNominalRow), Q(pick));
    EXPECT_EQ(State().voltage.nominalVoltage, std::stoi(pick));
}

TEST_F(CommandsTest, UnknownNominalVoltageWritesErr) {
    ASSERT_TRUE(ConnectAndUpload());
    View().OnComboSelChange(kNominalRow, 2, "13");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(CellText(dt::VoltagePickRow(State(), i)), "Err");
    EXPECT_EQ(State().voltage.nominalVoltage, 0);
}

TEST_F(CommandsTest, RefusedDownloadPaintsRedAndSendsNothingAcceptedOneRepaints) {
    ASSERT_TRUE(ConnectAndUpload());
    const QString original = CellText(kAccelerationRow);
    TypeValue(kAccelerationRow, "99999");
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].type, dt::MB_ICON_ERROR);
    const std::string name = State().Tables().ParameterSettings().rows[kAccelerationRow].name_en;
    EXPECT_EQ(messages[1].text.rfind("Input data is not legitimate\n\n" + name + ": ", 0), 0u) << messages[1].text;
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), QColor(255, 0, 0));
    EXPECT_FALSE(Panel().IsBusy());

    // Nothing reached the controller: a new upload, over the change, brings the old value back.
    messageAnswers.push_back(CMessageDlg::IDYES);
    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(4));
    EXPECT_EQ(CellText(kAccelerationRow), original);

    TypeValue(kAccelerationRow, "99999");
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), QColor(255, 0, 0));
    TypeValue(kAccelerationRow, original);
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(6));
    EXPECT_EQ(messages[5].text, "Download parameters successfully");
    const QColor expected = kAccelerationRow % 2 ? QColor(210, 220, 170) : QColor(235, 240, 220);
    EXPECT_EQ(Grid().GetItemBkColour(kAccelerationRow, 2), expected);
}

TEST_F(CommandsTest, RowsOfTheOtherKindNeverReachABlock) {
    ASSERT_TRUE(ConnectAndUpload());
    // An FOC identity arrived but its block never did: the rows still describe a standard controller.
    State().kind = dt::ControllerKind::Foc;
    const auto focBefore = State().foc.bytes;
    const auto blockBefore = State().block.bytes;
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Please connect the device first");
    EXPECT_EQ(messages[1].type, dt::MB_ICON_WARNING);
    EXPECT_EQ(State().foc.bytes, focBefore);
    EXPECT_EQ(State().block.bytes, blockBefore);
    EXPECT_FALSE(Panel().IsBusy()) << "nothing was sent";
}

TEST_F(CommandsTest, StoreIsRefusedBeforeAReadDefaultIsNot) {
    ASSERT_TRUE(App().Port().IsOpen());
    Press(CControlPanel::IDC_STORE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Please connect the device first");
    EXPECT_EQ(messages[0].type, dt::MB_ICON_WARNING);
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Please connect the device first");

    // No backup of the controller's set exists yet: Default asks first, and No sends nothing.
    Press(CControlPanel::IDC_DEFAULT);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].text, "The controller's parameters have not been read, so no backup of them exists. "
                                "Restore the factory parameters anyway?");
    EXPECT_EQ(messages[2].type, dt::MB_ICON_WARNING | dt::MB_YESNO | dt::MB_DEFBUTTON2);
    EXPECT_TRUE(AllControlsEnabled(true));

    messageAnswers.push_back(dt::kAnswerYes);
    Press(CControlPanel::IDC_DEFAULT);
    EXPECT_TRUE(AllControlsEnabled(false));
    ASSERT_TRUE(WaitForMessages(6));
    EXPECT_EQ(messages[4].text, "Restore the default parameters successfully");
    EXPECT_EQ(messages[5].text, "Upload parameters successfully");
    EXPECT_FALSE(CellText(kAccelerationRow).isEmpty());

    // Once read, Store goes through and Default no longer asks.
    Press(CControlPanel::IDC_STORE);
    ASSERT_TRUE(WaitForMessages(7));
    EXPECT_EQ(messages[6].text, "Save the parameters successfully");
    Press(CControlPanel::IDC_DEFAULT);
    ASSERT_TRUE(WaitForMessages(9));
    // The set replaced is the one read last, kept under its backup's name.
    EXPECT_EQ(messages[7].text, "Restore the default parameters successfully\nThe replaced set is kept in the backup " +
                                    std::filesystem::path(dt::ListBackups(dt::DefaultBackupDir()).at(0).path).filename().string());
}

// Tests that start a virtual controller of their own kind.
class OwnControllerTest : public WindowTest {};

TEST_F(OwnControllerTest, UploadFromAnotherVariantRebuildsTreeAndRows) {
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--variant-a"}));
    StartApp();
    ASSERT_EQ(Frame().FunctionItem()->childCount(), 7);
    ASSERT_TRUE(ConnectAndUpload());
    QTreeWidgetItem* functions = Frame().FunctionItem();
    ASSERT_EQ(functions->childCount(), 6);
    EXPECT_EQ(functions->child(1)->text(0), "Speed Limit Settings");
    EXPECT_FALSE(functions->isExpanded());
    const int P = State().Tables().ParameterSettings().rowCount;
    EXPECT_EQ(Grid().GetRowCount(), P + State().FunctionSettings().rowCount);
    EXPECT_EQ(Grid().GetItemText(P + State().FunctionSettings().GroupFirstRow(1), 0), "Speed Limit Settings");
}

TEST_F(OwnControllerTest, NoAnswerGreysThePanelForAboutTwoSeconds) {
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--silent"}));
    StartApp();
    QElapsedTimer clock;
    clock.start();
    Press(CControlPanel::IDC_UPLOAD);
    for (int i = 0; i < CControlPanel::kButtonCount; ++i)
        EXPECT_FALSE(Panel().Button(CControlPanel::IDC_CONNECT + i)->isEnabled()) << i;
    EXPECT_FALSE(Panel().PortBox()->isEnabled());
    EXPECT_TRUE(Panel().Timeout().IsRunning());
    ASSERT_TRUE(WaitForMessages(1, 5000));
    const qint64 elapsed = clock.elapsed();
    EXPECT_GE(elapsed, 2000);
    EXPECT_LE(elapsed, 4000);  // loose: a loaded machine delays timers
    EXPECT_EQ(messages[0].text, "no response because of timeout");
    EXPECT_EQ(messages[0].type, dt::MB_ICON_ERROR);
    EXPECT_TRUE(Panel().Button(CControlPanel::IDC_UPLOAD)->isEnabled());
    EXPECT_TRUE(Panel().PortBox()->isEnabled());
    EXPECT_FALSE(Panel().Timeout().IsRunning());
}

}  // namespace
