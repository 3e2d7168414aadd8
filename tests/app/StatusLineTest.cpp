// The status line against the virtual controller (the port, the controller of each kind, the
// pending changes, in both languages) and the question before closing with changes.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "StatusLine.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class StatusLineTest : public WindowTest {
protected:
    CStatusLine& Line() { return *Frame().StatusLine(); }

    bool WaitForPort(const QString& text) {
        return QTest::qWaitFor([&] { return Line().PortText() == text; }, 3000);
    }

    // The standard controller drivetune-sim plays, as the status line names it.
    std::string SimIdentity() {
        const uint16_t word = State().modelWord;
        return "customer " + dt::CustomerText(word >> 10) + " (" + std::to_string(word >> 10) + ")" +
               " · version " + std::to_string(word & 0x3FF);
    }

    void ChangeTwoValues() {
        TypeValue(kAccelerationRow, CellText(kAccelerationRow) == "600" ? "700" : "600");
        TypeValue(kDecelerationRow, CellText(kDecelerationRow) == "600" ? "700" : "600");
    }
};

TEST_F(StatusLineTest, PortControllerAndChangesOfAStandardController) {
    ASSERT_TRUE(StartSim());
    StartApp();
    ASSERT_TRUE(Line().isVisible());
    EXPECT_TRUE(WaitForPort("COM1 open"));
    EXPECT_TRUE(Line().ControllerText().isEmpty());
    EXPECT_TRUE(Line().ChangedText().isEmpty());

    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_EQ(Line().ControllerText().toStdString(), "Standard controller · variant B · " + SimIdentity());

    TypeValue(kAccelerationRow, CellText(kAccelerationRow) == "600" ? "700" : "600");
    EXPECT_EQ(Line().ChangedText(), "1 value changed, not yet downloaded");
    TypeValue(kDecelerationRow, CellText(kDecelerationRow) == "600" ? "700" : "600");
    EXPECT_EQ(Line().ChangedText(), "2 values changed, not yet downloaded");

    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(2));
    EXPECT_TRUE(Line().ChangedText().isEmpty());
}

TEST_F(StatusLineTest, VariantAController) {
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--variant-a"}));
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_EQ(Line().ControllerText().toStdString(), "Standard controller · variant A · " + SimIdentity());
}

TEST_F(StatusLineTest, FocController) {
    ASSERT_TRUE(StartSim({"--bind", "COM1", "--foc"}));
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_EQ(Line().ControllerText(), "FOC controller");
    TypeValue(10, CellText(10) == "1000" ? "1001" : "1000");  // forward speed
    EXPECT_EQ(Line().ChangedText(), "1 value changed, not yet downloaded");
}

TEST_F(StatusLineTest, InChinese) {
    ASSERT_TRUE(StartSim());
    UseChinese();
    StartApp();
    EXPECT_TRUE(WaitForPort("COM1 已打开"));
    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_TRUE(Line().ControllerText().startsWith("标准控制器 · 功能变体 B · 客户 "));
    ChangeTwoValues();
    EXPECT_EQ(Line().ChangedText(), "2 个参数已修改，尚未下载");
    const QToolButton* backups = Line().findChild<QToolButton*>("backupsButton");
    ASSERT_NE(backups, nullptr);
    EXPECT_EQ(backups->text(), "备份");
}

TEST_F(StatusLineTest, APortThatDidNotOpen) {
    StartApp([] { return std::vector<std::string>{"COM7 (/nonexistent/tty)"}; });
    EXPECT_TRUE(WaitForPort("COM7 not open"));
}

TEST_F(StatusLineTest, ClosingWithChangesAsksFirst) {
    ASSERT_TRUE(StartSim());
    StartApp();
    // Nothing changed: the window closes without a word.
    ASSERT_TRUE(ConnectAndUpload());
    const size_t before = messages.size();
    ASSERT_TRUE(Frame().close());
    EXPECT_EQ(messages.size(), before);
    Frame().show();

    const QString originalAcceleration = CellText(kAccelerationRow);
    ChangeTwoValues();
    messageAnswers.push_back(CMessageDlg::IDNO);
    EXPECT_FALSE(Frame().close());
    EXPECT_TRUE(Frame().isVisible());
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().text, "2 values have been changed but not downloaded. Close anyway?");
    EXPECT_EQ(messages.back().type, dt::MB_YESNO | dt::MB_ICON_QUESTION | dt::MB_DEFBUTTON2);

    // One change is named in the singular.
    TypeValue(kAccelerationRow, originalAcceleration);
    messageAnswers.push_back(CMessageDlg::IDNO);
    EXPECT_FALSE(Frame().close());
    EXPECT_EQ(messages.back().text, "1 value has been changed but not downloaded. Close anyway?");

    messageAnswers.push_back(CMessageDlg::IDYES);
    EXPECT_TRUE(Frame().close());
    EXPECT_FALSE(Frame().isVisible());
}

TEST_F(StatusLineTest, TheCloseQuestionBoxHasNoPreselectedInChinese) {
    ASSERT_TRUE(StartSim());
    UseChinese();
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    TypeValue(kAccelerationRow, CellText(kAccelerationRow) == "600" ? "700" : "600");

    // The real box: Yes and No shown, No holding the focus; Enter and Esc never mean Yes.
    QString text;
    bool noFocused = false, yesShown = false;
    int answer = CMessageDlg::IDOK;
    SetMessageHook([&](CMessageDlg& dlg) {
        text = dlg.Text();
        noFocused = dlg.focusWidget() == dlg.Button(CMessageDlg::IDC_NO);
        yesShown = !dlg.Button(CMessageDlg::IDC_YES)->isHidden();
        return answer;
    });
    EXPECT_FALSE(Frame().close());
    EXPECT_EQ(text, "1 个参数已修改但尚未下载。仍要关闭吗？");
    EXPECT_TRUE(noFocused);
    EXPECT_TRUE(yesShown);
    answer = CMessageDlg::IDCANCEL;
    EXPECT_FALSE(Frame().close());
    answer = CMessageDlg::IDYES;
    EXPECT_TRUE(Frame().close());
    SetMessageHook(nullptr);
}

}  // namespace
