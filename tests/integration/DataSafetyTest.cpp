// Nothing lost from the command line: a save that fails is reported and keeps the old file, a
// folder is no parameter file, and every read and write leaves a backup.
#include <QDir>
#include <QProcess>

#include "Backups.h"
#include "CliHarness.h"
#include "../model/WriteFailure.h"

namespace clitest {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(CliOnline, AnExportThatCannotBeWrittenKeepsTheOldFileAndFails) {
    StartSim({});
    const std::string file = WriteTemp("keep.foc", Bytes(1024, 0x4B));
    CliResult r;
    {
        dt::test::FileSizeLimit limit(100);  // as a full disk: the 1024-byte write cannot complete
        r = Cli({"upload", "--port", sim().Path(), "-o", file});
    }
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Contains(r.err, "Unable to export, fail to open the file\n")) << r.err;
    EXPECT_TRUE(Contains(r.err, "cannot write " + file + ": File too large")) << r.err;
    EXPECT_FALSE(Contains(r.err, "Export file successfully")) << r.err;
    EXPECT_EQ(ReadFile(file), Bytes(1024, 0x4B));
}

TEST_F(CliOnline, AFolderIsRefusedAsAParameterFileWithItsReason) {
    StartSim({});
    const std::string folder = Dir() + "/x.foc";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    const std::vector<std::vector<std::string>> commands = {
        {"show", folder}, {"diff", folder, Sample("standard-b.foc")}, {"download", "--port", sim().Path(), folder}};
    for (const auto& args : commands) {
        const CliResult r = Cli(args);
        EXPECT_EQ(r.rc, 2) << args[0];
        EXPECT_TRUE(Contains(r.err, "cannot read " + folder + ": Is a directory")) << args[0] << ": " << r.err;
    }

    // check takes folders: one without parameter files is named as such.
    const CliResult r = Cli({"check", folder});
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Contains(r.err, folder + ": no .foc or .ged files in this folder")) << r.err;

    QProcess sim;
    sim.start(DT_BINARY_DIR "/sim/drivetune-sim", {"--file", QString::fromStdString(folder)});
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitCode(), 2);
    EXPECT_EQ(sim.readAllStandardError().toStdString(), "drivetune-sim: cannot read " + folder + ": Is a directory\n");
}

TEST_F(CliOnline, ReadsAndDownloadsLeaveBackups) {
    StartSim({});
    ASSERT_EQ(Cli({"upload", "--port", sim().Path()}).rc, 0);
    std::vector<dt::BackupEntry> list = dt::ListBackups(dt::DefaultBackupDir());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].reason, dt::BackupReason::Read);
    EXPECT_EQ(ReadFile(list[0].path), ReadFile(Sample("standard-b.foc")));

    const CliResult r = Cli({"download", "--port", sim().Path(), Sample("standard-b.foc")});
    ASSERT_EQ(r.rc, 0) << r.err;
    list = dt::ListBackups(dt::DefaultBackupDir());
    // The read before the download and the set written are the set already kept: no new files.
    ASSERT_EQ(list.size(), 1u);
}

}  // namespace
}  // namespace clitest
