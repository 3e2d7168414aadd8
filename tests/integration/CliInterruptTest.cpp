// Ctrl+C and SIGTERM sent to drivetune-cli, a process of its own, while drivetune-sim is written or
// read: the block in flight is finished, nothing is stored, and what the controller holds is said.
#include <csignal>
#include <filesystem>
#include <regex>

#include <QThread>

#include "CliHarness.h"
#include "ConsoleHost.h"
#include "Interrupts.h"
#include "OnlineSession.h"
#include "SupportLog.h"

namespace clitest {

namespace {

struct Ended {
    int rc = -1;
    std::string err;
};

Ended SignalWhen(SimProcess& sim, QProcess& cli, const std::string& logged, int signal) {
    Ended e;
    EXPECT_TRUE(sim.WaitForLog(logged, 20000)) << "the simulator never saw " << logged;
    ::kill(static_cast<pid_t>(cli.processId()), signal);
    EXPECT_TRUE(cli.waitForFinished(20000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
    e.rc = cli.exitCode();
    e.err = cli.readAllStandardError().toStdString();
    return e;
}

std::string SupportLog() {
    const Bytes bytes = ReadFile(dt::SupportLogPath());
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST_F(CliOnline, ASignalDuringAWriteStopsAfterTheBlockInFlightAndStoresNothing) {
    const Kind& k = Kinds()[0];
    const std::string file = WriteTemp("edited.foc", k.edit(ReadFile(Sample(k.sample))));
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        // Slow replies, and a time-out long enough for them.
        StartSim({"--verbose", "--delay-ms", "150"});
        std::unique_ptr<QProcess> cli = StartCliProcess({"download", "--port", sim().Path(), "--timeout", "20000", file});
        // The first block of the write chain is on its way.
        const Ended e = SignalWhen(sim(), *cli, "rx 0x28", signal);
        EXPECT_EQ(e.rc, 130) << e.err;
        static const std::regex kHolds(
            "drivetune-cli: Interrupted: the controller holds [1-5] of 5 blocks written but not stored; the set it "
            "has stored is unchanged\\. To recover, download again, or power-cycle the controller to drop the "
            "written blocks\\.\n");
        EXPECT_TRUE(std::regex_search(e.err, kHolds)) << e.err;
        EXPECT_FALSE(Contains(e.err, "Download parameters successfully")) << e.err;
        const std::string simLog = sim().StopAndLog();
        EXPECT_FALSE(Contains(simLog, "rx 0x80")) << "a store reached the controller\n" << simLog;
        const std::string log = SupportLog();
        EXPECT_TRUE(Contains(log, "interrupted: Interrupted: the controller holds ")) << log;
        EXPECT_TRUE(Contains(log, "command download ended with exit status 130\n")) << log;
        std::filesystem::remove(dt::SupportLogPath());
    }
}

// The controller goes away while the block in flight is awaited: it still holds what was written.
TEST_F(CliOnline, AControllerLostAfterTheStopStillHoldsItsWrittenBlocks) {
    const Kind& k = Kinds()[0];
    const std::string file = WriteTemp("edited.foc", k.edit(ReadFile(Sample(k.sample))));
    StartSim({"--verbose", "--delay-ms", "150"});
    std::unique_ptr<QProcess> cli = StartCliProcess({"download", "--port", sim().Path(), "--timeout", "20000", file});
    // The second block is on its way; the controller never answers it.
    ASSERT_TRUE(sim().WaitForLog("rx 0x29", 20000));
    ::kill(static_cast<pid_t>(sim().Pid()), SIGSTOP);
    ::kill(static_cast<pid_t>(cli->processId()), SIGINT);
    QThread::msleep(300);
    ::kill(static_cast<pid_t>(sim().Pid()), SIGKILL);
    ASSERT_TRUE(cli->waitForFinished(20000));
    EXPECT_EQ(cli->exitCode(), 130);
    const std::string err = cli->readAllStandardError().toStdString();
    EXPECT_TRUE(Contains(err, " went away")) << err;
    EXPECT_TRUE(Contains(err, "drivetune-cli: Interrupted: the controller holds 1 of 5 blocks written but not stored;"))
        << err;
}

TEST_F(CliOnline, ASignalDuringAReadLeavesNoFile) {
    StartSim({"--verbose", "--delay-ms", "150"});
    const std::string out = Dir() + "/read.foc";
    std::unique_ptr<QProcess> cli = StartCliProcess({"upload", "--port", sim().Path(), "--timeout", "20000", "-o", out});
    // The identity is asked for: the read has begun.
    const Ended e = SignalWhen(sim(), *cli, "rx 0x10", SIGINT);
    EXPECT_EQ(e.rc, 130) << e.err;
    EXPECT_TRUE(Contains(e.err, "drivetune-cli: Interrupted: nothing more was written to the controller or to a file.\n"))
        << e.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(cli->readAllStandardOutput().toStdString(), "") << "no sheet of a half-read set";
    EXPECT_FALSE(WroteAnything(sim().StopAndLog()));
}

// An interrupt taken between two exchanges: the next one sends nothing.
TEST_F(CliOnline, AnInterruptBeforeAnExchangeSendsNothing) {
    StartSim({"--verbose"});
    dt::ToolState s;
    s.language = dt::LANG_ENGLISH;
    std::ostringstream out, err;
    dt::cli::ConsoleHost host(s, out, err);
    dt::SerialPort serial;
    dt::cli::OnlineSession session(s, host, err, serial);
    ASSERT_TRUE(session.Open({0, sim().Path()}));
    struct Cleared {
        ~Cleared() { dt::cli::ClearInterrupt(); }
    } cleared;
    dt::cli::RequestInterrupt();
    EXPECT_FALSE(session.Run([&] { return session.Link().commands.StartConnect(); }));
    EXPECT_EQ(session.Finish(0), 130);
    EXPECT_EQ(err.str(), "drivetune-cli: Interrupted: nothing more was written to the controller or to a file.\n");
    EXPECT_FALSE(Contains(sim().StopAndLog(), "rx ")) << "nothing was sent";
}

}  // namespace clitest
