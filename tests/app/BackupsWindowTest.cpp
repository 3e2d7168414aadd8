// The window keeps a backup of every set it reads and writes, and says once when it cannot.
#include <QDir>
#include <QFile>

#include "Backups.h"
#include "MainFrame.h"
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
    EXPECT_FALSE(Backups()[0].foc);

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
}

}  // namespace
