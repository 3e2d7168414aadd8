// The pictures scripts/shots-app takes on a virtual display: start-up, after an upload
// (standard and FOC), a refusal message, a hint balloon, changed values with the balloon of a
// changed row, the value cell's menu, a cell edited with its allowed range, the question before
// an upload over changes, the find field and the list of changes, a value out of range as typed,
// a topic picked, the backups, another variant's file and Default's backup, in both languages.
// Skipped unless DT_SHOTS_DIR names the folder to write them to.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>

#include "BackupsDlg.h"
#include "ChangesDlg.h"
#include "DriveTuneView.h"
#include "FindBar.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "MessageDlg.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class ShotsTest : public WindowTest {
protected:
    void SetUp() override {
        const char* dir = std::getenv("DT_SHOTS_DIR");
        if (!dir || !*dir) GTEST_SKIP() << "DT_SHOTS_DIR not set";
        dir_ = QString::fromLocal8Bit(dir);
        WindowTest::SetUp();
        QDir().mkpath(dir_);
    }
    void TearDown() override {
        SetMessageHook(nullptr);
        WindowTest::TearDown();
    }

    void Shot(const QString& name) {
        QTest::qWait(400);
        const QString path = QDir(dir_).filePath(prefix_ + name + ".png");
        QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    }

    // Every message box is pictured while open (when named), then closed with OK.
    void PictureBoxes() {
        SetMessageHook([this](CMessageDlg& dlg) {
            QPointer<CMessageDlg> box(&dlg);
            const QString name = nextBox_;
            nextBox_.clear();
            QTimer::singleShot(100, [this, box, name] {
                if (!name.isEmpty()) Shot(name);
                if (box) box->done(CMessageDlg::IDOK);
            });
            return -1;
        });
    }

    bool Upload() {
        Press(CControlPanel::IDC_CONNECT);
        return QTest::qWaitFor([&] { return State().dataValid || State().kind == dt::ControllerKind::Foc; }, 5000) &&
               QTest::qWaitFor([&] { return !Panel().IsBusy(); }, 5000);
    }

    void Standard(const QString& prefix) {
        prefix_ = prefix;
        ASSERT_TRUE(StartSim());
        PictureBoxes();
        StartApp({}, false);
        Frame().activateWindow();
        Shot("1-startup");

        nextBox_ = "2-upload-message";
        ASSERT_TRUE(Upload());
        Shot("3-after-upload");

        // A refused value: the range message over the window, the cell red behind it.
        const int row = 46;
        Grid().EnsureVisible(row, 2);
        TypeValue(row, "99999");
        nextBox_ = "4-refusal";
        Press(CControlPanel::IDC_DOWNLOAD);
        QTest::qWait(300);
        Shot("5-refused-cell");

        Balloon(3);
        Shot("6-hint");

        ChangesAndFind();
        EditingAids();
    }

    // A value out of range as typed, a topic picked, the backups and their comparison, the
    // refusal of another variant's file and Default's message naming its backup.
    void EditingAids() {
        TypeValue(kAccelerationRow, "5000");
        Grid().SetFocusCell(kAccelerationRow, 2);
        Shot("14-out-of-range-typed");
        Frame().findChild<QTreeWidget*>("groupTree")->setCurrentItem(Frame().FunctionItem());
        Shot("15-topic-at-top");
        Frame().ShowBackups();
        if (CBackupsDlg* list = Frame().BackupsList()) {
            Shot("16-backups");
            list->CompareButton()->click();
            Shot("17-backup-compare");
            if (list->Comparison()) list->Comparison()->close();
            list->close();
        }
        dt::ToolState copy = State();
        copy.block.SetSectionWord(0, 15, 0x04D2);
        WriteFile("variant-a.foc", QByteArray(reinterpret_cast<const char*>(copy.block.bytes.data()),
                                              static_cast<int>(copy.block.bytes.size())));
        fileAnswers.push_back(WorkPath("variant-a.foc").toStdString());
        nextBox_ = "18-variant-mismatch";
        Press(CControlPanel::IDC_IMPORT);
        QTest::qWait(300);
        nextBox_ = "19-default-names-backup";
        Press(CControlPanel::IDC_DEFAULT);
        QTest::qWait(1500);
    }

    // The hint balloon of a row: the mouse rests on its name.
    void Balloon(int row) {
        Grid().EnsureVisible(row, 1);
        const QPoint centre = Grid().CellRect(row, 1).center();
        QCursor::setPos(Grid().viewport()->mapToGlobal(centre));
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::qWait(700);
    }

    // Values changed against the controller, the balloon of a changed row, then the find field.
    void ChangesAndFind() {
        ASSERT_TRUE(Upload());
        const int throttleVoltages[] = {40, 43};
        for (int row : throttleVoltages) TypeValue(row, CellText(row) == "4.0" ? "3.8" : "4.0");
        TypeValue(kDecelerationRow, "900");
        Balloon(kDecelerationRow);
        Shot("8-changed-values");

        // The value cell's menu, a cell being edited with its range below, the upload question.
        Grid().setFocus();
        Grid().SetFocusCell(kDecelerationRow, 2);
        QTest::keyClick(&Grid(), Qt::Key_F10, Qt::ShiftModifier);
        Shot("10-value-menu");
        if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
        QTest::keyClick(&Grid(), Qt::Key_F2);
        Shot("11-editing-range");
        if (QWidget* editor = Grid().InPlaceEditor()) QTest::keyClick(editor, Qt::Key_Escape);
        nextBox_ = "12-upload-question";
        Press(CControlPanel::IDC_UPLOAD);
        QTest::qWait(300);

        QCursor::setPos(Frame().mapToGlobal(QPoint(Frame().width() - 10, 10)));
        QTest::qWait(1100);  // the balloon goes once the mouse moved
        Frame().FindBar()->Open();
        TypeText(Frame().FindBar(), prefix_ == "cn-" ? QStringLiteral("转把") : QStringLiteral("throttle"));
        QTest::keyClick(Frame().FindBar(), Qt::Key_F3);
        Shot("9-find");

        // The list of changes beside the window, its second line selected.
        Frame().FindBar()->Close();
        Frame().ShowChanges();
        if (CChangesDlg* list = Frame().Changes()) {
            QTest::keyClick(list->List(), Qt::Key_Down);
            Shot("13-changes-list");
            list->close();
        }
    }

    void Foc(const QString& prefix) {
        prefix_ = prefix;
        ASSERT_TRUE(StartSim({"--bind", "COM1", "--foc"}));
        PictureBoxes();
        StartApp({}, false);
        ASSERT_TRUE(Upload());
        Shot("7-after-upload-foc");
    }

    QString dir_;
    QString prefix_;
    QString nextBox_;
};

TEST_F(ShotsTest, EnglishStandard) { Standard("en-"); }
TEST_F(ShotsTest, EnglishFoc) { Foc("en-"); }
TEST_F(ShotsTest, ChineseStandard) {
    UseChinese();
    Standard("cn-");
}
TEST_F(ShotsTest, ChineseFoc) {
    UseChinese();
    Foc("cn-");
}

}  // namespace
