// The window keeps a backup of every set it reads and writes, and says once when it cannot; its
// list of backups loads, compares and downloads them.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

#include "Backups.h"
#include "BackupsDlg.h"
#include "DriveTuneView.h"
#include "GridCtrl.h"
#include "MainFrame.h"
#include "StatusLine.h"
#include "ToolState.h"
#include "WindowHarness.h"

namespace {

class BackupsWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(StartSim());
    }
    std::vector<dt::BackupEntry> Backups() const { return dt::ListBackups(dt::DefaultBackupDir()); }
};

TEST_F(BackupsWindowTest, ReadsAndDownloadsAreKept) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(Backups()[0].reason, dt::BackupReason::Read);
    EXPECT_EQ(Backups()[0].kind, dt::ControllerKind::Standard);

    // The same set again is not written again.
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(messages.size() + 1));
    EXPECT_EQ(messages.back().text, "Download parameters successfully");
    ASSERT_EQ(Backups().size(), 1u);

    TypeValue(kAccelerationRow, CellText(kAccelerationRow) == "600" ? "700" : "600");
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(messages.size() + 1));
    ASSERT_EQ(Backups().size(), 2u);
    EXPECT_EQ(Backups()[0].reason, dt::BackupReason::Written);
}

TEST_F(BackupsWindowTest, TheListLoadsComparesAndDownloadsABackup) {
    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    const QString read = CellText(kAccelerationRow);
    const QString written = read == "600" ? "700" : "600";
    TypeValue(kAccelerationRow, written);
    Press(CControlPanel::IDC_DOWNLOAD);
    ASSERT_TRUE(WaitForMessages(messages.size() + 1));
    TypeValue(kAccelerationRow, "650");

    QTest::keyClick(&Grid(), Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    CBackupsDlg* list = Frame().BackupsList();
    ASSERT_TRUE(list && list->isVisible());
    QTreeWidget& rows = *list->List();
    const QTreeWidgetItem* header = rows.headerItem();
    EXPECT_EQ(QStringList({header->text(0), header->text(1), header->text(2), header->text(3)}),
              QStringList({"Time", "Read or written", "Controller", "Customer"}));
    // The controller's description is not cut, and a dozen backups show without scrolling.
    EXPECT_GE(rows.columnWidth(2), rows.fontMetrics().horizontalAdvance(rows.topLevelItem(0)->text(2)));
    EXPECT_GE(rows.viewport()->height(), 10 * rows.visualItemRect(rows.topLevelItem(0)).height());
    ASSERT_EQ(rows.topLevelItemCount(), 2);
    EXPECT_EQ(rows.topLevelItem(0)->text(1), "written");
    EXPECT_EQ(rows.topLevelItem(1)->text(1), "read");
    EXPECT_EQ(rows.topLevelItem(1)->text(2), "Standard controller · variant B · version 300");
    EXPECT_EQ(rows.topLevelItem(1)->text(3), "Quellan (1)");

    // The read set against the grid: the one value typed since.
    rows.setCurrentItem(rows.topLevelItem(1));
    list->CompareButton()->click();
    ASSERT_NE(list->Comparison(), nullptr);
    const QTreeWidget* differences = list->Comparison()->findChild<QTreeWidget*>("comparisonList");
    ASSERT_NE(differences, nullptr);
    ASSERT_EQ(differences->topLevelItemCount(), 1);
    EXPECT_EQ(differences->topLevelItem(0)->text(1), "650");
    EXPECT_EQ(differences->topLevelItem(0)->text(2), read);

    // Loaded as Import loads a file: its values shown, one undoable step.
    const size_t shown = messages.size();
    list->LoadButton()->click();
    ASSERT_TRUE(WaitForMessages(shown + 1));
    EXPECT_EQ(messages.back().text, "Import file successfully");
    EXPECT_EQ(CellText(kAccelerationRow), read);
    EXPECT_FALSE(list->isVisible());
    View().History()->undo();
    EXPECT_EQ(CellText(kAccelerationRow), "650");

    // Downloaded after the range check: the controller holds the backup's set. The status line's
    // button, shown inside the window, opens the list too.
    QToolButton* button = Frame().StatusLine()->findChild<QToolButton*>("backupsButton");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->text(), "Backups");
    EXPECT_TRUE(button->autoRaise()) << "flat in the line until pointed at";
    EXPECT_TRUE(Frame().rect().contains(QRect(button->mapTo(&Frame(), QPoint(0, 0)), button->size())));
    // It takes a place of its own: no status text lies under it.
    CStatusLine* line = Frame().StatusLine();
    const QRect buttonPlace(button->mapTo(line, QPoint(0, 0)), button->size());
    for (const QLabel* label : line->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            EXPECT_FALSE(buttonPlace.intersects(QRect(label->mapTo(line, QPoint(0, 0)), label->size())))
                << label->text().toStdString();
        }
    }
    QTest::mouseClick(button, Qt::LeftButton);
    list = Frame().BackupsList();
    ASSERT_TRUE(list && list->isVisible());
    list->List()->setCurrentItem(list->List()->topLevelItem(1));
    const size_t before = messages.size();
    list->DownloadButton()->click();
    ASSERT_TRUE(WaitForMessages(before + 2));
    EXPECT_EQ(messages.back().text, "Download parameters successfully");
    ASSERT_TRUE(ConnectAndUpload());
    EXPECT_EQ(CellText(kAccelerationRow), read);
}

TEST_F(BackupsWindowTest, ABackupThatCannotBeWrittenIsReportedOncePerRun) {
    // A file where the backup folder belongs.
    const QString folder = QString::fromStdString(dt::DefaultBackupDir());
    ASSERT_TRUE(QDir().mkpath(folder.section('/', 0, -2)));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    StartApp();
    ASSERT_TRUE(ConnectAndUpload());
    auto warnings = [&] {
        int n = 0;
        for (const ShownMessage& m : messages)
            if (m.text.rfind(State().Extra(dt::XTX_BACKUP_FAILED), 0) == 0 && m.type == dt::MB_ICON_WARNING) ++n;
        return n;
    };
    EXPECT_EQ(warnings(), 1);
    EXPECT_EQ(messages.back().text, "Upload parameters successfully") << "the read itself went on";

    Press(CControlPanel::IDC_UPLOAD);
    ASSERT_TRUE(WaitForMessages(messages.size() + 1));
    EXPECT_EQ(messages.back().text, "Upload parameters successfully");
    EXPECT_EQ(warnings(), 1);

    // Its list holds nothing: nothing to load, compare or download.
    Frame().ShowBackups();
    const CBackupsDlg* list = Frame().BackupsList();
    ASSERT_TRUE(list);
    for (const QPushButton* b : {list->LoadButton(), list->CompareButton(), list->DownloadButton()})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
}

}  // namespace
