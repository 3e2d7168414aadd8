// Backups taken by the link: after every completed read and before every write, never blocking
// the exchange when the folder cannot be written; and Default's question before a blind restore.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "Backups.h"
#include "SupportLog.h"
#include "LinkTestSupport.h"

using namespace dt;
using namespace dt::test;

namespace {

struct BackupRig : Rig {
    std::string folder = dir.filePath("backups").toStdString();
    BackupRig() {
        link.backups.SetFolder(folder);
        link.backups.SetClock([] { return std::time_t(1796683267); });
    }
    bool Upload() {
        const size_t before = host.messages.size();
        commands.Upload();
        return WaitMessages(before + 1) && host.LastMessage() == state.Message(MSG_UPLOAD_OK);
    }
    std::vector<BackupEntry> List() const { return ListBackups(folder); }
};

Bytes FileBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = f.readAll();
    return Bytes(data.begin(), data.end());
}

TEST(BackupKeeper, EveryReadAndEveryWriteIsKept) {
    BackupRig rig;
    rig.OpenPort();
    ASSERT_TRUE(rig.Upload());
    ASSERT_EQ(rig.List().size(), 1u);
    const BackupEntry read = rig.List()[0];
    EXPECT_EQ(read.reason, BackupReason::Read);
    EXPECT_EQ(FileBytes(read.path), Bytes(rig.controller.block.bytes.begin(), rig.controller.block.bytes.end()));
    EXPECT_EQ(rig.link.backups.LastPath(), read.path);

    // The set about to be written is kept before its first frame leaves.
    rig.state.block.WriteWord(100, 0x1234);
    const size_t framesBefore = rig.port.Written().size();
    rig.link.backups.SetClock([] { return std::time_t(1796683268); });
    ASSERT_TRUE(rig.commands.Download());
    ASSERT_EQ(rig.List().size(), 2u);
    EXPECT_EQ(rig.List()[0].reason, BackupReason::Written);
    EXPECT_EQ(FileBytes(rig.List()[0].path), Bytes(rig.state.block.bytes.begin(), rig.state.block.bytes.end()));
    EXPECT_GT(rig.port.Written().size(), framesBefore);
    ASSERT_TRUE(rig.WaitMessages(2));
    EXPECT_EQ(rig.host.LastMessage(), rig.state.Message(MSG_DOWNLOAD_OK));
}

TEST(BackupKeeper, ASetKeptAlreadyIsNotKeptAgainAndDefaultNamesTheBackupOfTheSetItReplaced) {
    BackupRig rig;
    rig.OpenPort();
    ASSERT_TRUE(rig.Upload());
    rig.link.backups.SetClock([] { return std::time_t(1796683299); });
    QTemporaryDir logFolder;
    const QByteArray oldState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", logFolder.path().toLocal8Bit());
    StartSupportLog("drivetune-test");
    ASSERT_TRUE(rig.Upload());
    StopSupportLog();
    qputenv("XDG_STATE_HOME", oldState);
    ASSERT_EQ(rig.List().size(), 1u);
    const std::string kept = rig.List()[0].path;
    EXPECT_EQ(rig.link.backups.LastPath(), kept);
    QFile log(logFolder.filePath("DriveTune/drivetune.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains(("backup not written, the set is already kept: " + kept).c_str()));

    rig.host.Clear();
    ASSERT_TRUE(rig.commands.Default());
    ASSERT_TRUE(rig.WaitMessages(1));
    EXPECT_EQ(rig.host.messages[0].first,
              rig.state.Message(MSG_RESTORE_OK) + "\nThe replaced set is kept in the backup " +
                  QFileInfo(QString::fromStdString(kept)).fileName().toStdString());
}

TEST(BackupKeeper, ARefusedDownloadKeepsNothing) {
    BackupRig rig;
    rig.OpenPort();
    ASSERT_TRUE(rig.Upload());
    rig.state.sheet.SetCell(46, "99999");  // out of the acceleration row's range
    EXPECT_FALSE(rig.commands.Download());
    EXPECT_EQ(rig.List().size(), 1u);
}

TEST(BackupKeeper, AFolderThatCannotBeWrittenIsReportedAndTheReadGoesOn) {
    struct Host : RecordingHost {
        std::vector<std::string> failures;
        void ReportBackupFailure(const std::string& why) override { failures.push_back(why); }
    };
    BackupRig rig;
    QFile(rig.dir.filePath("backups")).open(QIODevice::WriteOnly);  // a file where the folder belongs
    rig.OpenPort();
    ASSERT_TRUE(rig.Upload());
    EXPECT_TRUE(rig.List().empty());
    EXPECT_FALSE(rig.link.backups.BackedUpSinceOpen()) << "a factory reset would have no way back";

    // Through a host that listens, the reason arrives.
    Host host;
    ControllerLink link{rig.state, host, rig.port, rig.settingsPath};
    link.backups.SetFolder(rig.folder);
    link.backups.SetRead();
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_NE(host.failures[0].find("Not a directory"), std::string::npos) << host.failures[0];
}

TEST(BackupKeeper, DefaultAsksOnlyBeforeTheFirstReadOfAnOpenedPort) {
    BackupRig rig;
    rig.commands.SetAskBeforeUnbackedDefault(true);
    rig.state.settings.UartPort = 3;
    ASSERT_TRUE(rig.commands.OpenSelectedPort());
    rig.host.Clear();
    const size_t framesBefore = rig.port.Written().size();
    EXPECT_FALSE(rig.commands.Default());  // the recorder answers No
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].first, rig.state.Extra(XTX_DEFAULT_WITHOUT_BACKUP));
    EXPECT_EQ(rig.host.Steps().back(), std::string("Ask(") + rig.state.Extra(XTX_DEFAULT_WITHOUT_BACKUP) + ",warning)");
    EXPECT_EQ(rig.port.Written().size(), framesBefore) << "nothing sent";

    ASSERT_TRUE(rig.Upload());
    rig.host.Clear();
    EXPECT_TRUE(rig.commands.Default());
    EXPECT_TRUE(rig.host.messages.empty());

    // Reopening the port may mean another controller: ask again.
    rig.Settle();
    ASSERT_TRUE(rig.commands.OpenSelectedPort());
    rig.host.Clear();
    rig.host.SetLinkBusy(false);
    EXPECT_FALSE(rig.commands.Default());
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

}  // namespace
