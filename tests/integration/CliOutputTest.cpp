// drivetune-cli as a process of its own whose standard output cannot take the data (a full disk, a
// closed stream), and a backups folder that a killed run left a temporary file in.
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "CliHarness.h"

namespace clitest {

namespace {

struct Ended {
    int rc = -1;
    std::string out;
    std::string err;
};

// The command run by the shell, so its standard streams can be bent first.
Ended Shell(const std::string& command) {
    QProcess p;
    p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    p.start("/bin/sh", {"-c", QString::fromStdString(command)});
    EXPECT_TRUE(p.waitForFinished(20000));
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

const std::string kCli = DT_BINARY_DIR "/cli/drivetune-cli";

}  // namespace

TEST_F(CliOnline, DataThatCannotBeWrittenIsAnErrorThatSaysWhy) {
    StartSim({});
    const std::string sample = Sample("standard-b.foc");
    const std::string commands[] = {
        "show " + sample,
        "show --json " + sample,
        "tables --json",
        "upload --port " + sim().Path(),
        "upload --json --port " + sim().Path(),
        "upload -o - --port " + sim().Path(),
    };
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        Ended e = Shell(kCli + " " + command + " >/dev/full");
        EXPECT_EQ(e.rc, 2);
        EXPECT_TRUE(Contains(e.err, "drivetune-cli: standard output: No space left on device\n")) << e.err;
        e = Shell(kCli + " " + command + " >&-");
        EXPECT_EQ(e.rc, 2);
        EXPECT_TRUE(Contains(e.err, "drivetune-cli: standard output: Bad file descriptor\n")) << e.err;
    }
    const Ended fine = Shell(kCli + " upload -o - --port " + sim().Path());
    EXPECT_EQ(fine.rc, 0) << fine.err;
    EXPECT_EQ(fine.out.size(), 1024u);
}

// Help fits 80 columns in a pipe; progress is drawn on standard error only when that is a
// terminal, never because standard output is one.
TEST_F(CliOnline, APipeGetsEightyColumnsOfHelpAndNoProgress) {
    const Ended help = Shell(kCli + " --help | cat");
    size_t widest = 0;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) widest = std::max(widest, line.size());
    EXPECT_GT(widest, 60u) << help.out;
    EXPECT_LE(widest, 80u) << help.out;

    StartSim({});
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    // The set's 1024 bytes fit in the terminal's buffer: nobody needs to read them.
    const Ended e = Shell(kCli + " upload -o - --port " + sim().Path() + " >" + ::ttyname(slave));
    ::close(slave);
    ::close(master);
    EXPECT_EQ(e.rc, 0) << e.err;
    EXPECT_FALSE(Contains(e.err, "Reading block")) << e.err;
}

// A temporary file older than a minute is what a killed run left; a younger one may be another
// run's write in progress, and a file of another name is not ours.
TEST_F(CliOnline, TheNextBackupRemovesTemporaryFilesOfAKilledRun) {
    StartSim({});
    ASSERT_EQ(Cli({"upload", "--port", sim().Path()}).rc, 0);
    std::string folder;
    for (const auto& e : std::filesystem::recursive_directory_iterator(Dir()))
        if (e.path().extension() == ".foc" && e.path().parent_path().filename() == "backups")
            folder = e.path().parent_path().string();
    ASSERT_FALSE(folder.empty());
    const std::string stale = folder + "/.dt-abcdefghij.tmp", young = folder + "/.dt-klmnopqrst.tmp",
                      other = folder + "/.xy-abcdefghij.tmp";
    for (const std::string& f : {stale, young, other}) WriteFile(f, Bytes(10, 0));
    const time_t old = ::time(nullptr) - 61;
    for (const std::string& f : {stale, other}) {
        const utimbuf times{old, old};
        ASSERT_EQ(::utime(f.c_str(), &times), 0);
    }
    // The set is kept already; without its backup the next read writes one anew.
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".foc") std::filesystem::remove(e.path());
    ASSERT_EQ(Cli({"upload", "--port", sim().Path()}).rc, 0);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(young));
    EXPECT_TRUE(std::filesystem::exists(other));
}

}  // namespace clitest
