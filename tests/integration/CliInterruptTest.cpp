// Ctrl+C and SIGTERM sent to drivetune-cli, a process of its own, while drivetune-sim is written or
// read: the block in flight is finished, nothing is stored, and what the controller holds is said.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

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

// User and system time a process has taken, in clock ticks.
long CpuTicks(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i) {
        if (i == 12) utime = std::stol(field);
        if (i == 13) stime = std::stol(field);
    }
    return utime + stime;
}

std::string SupportLog() {
    const Bytes bytes = ReadFile(dt::SupportLogPath());
    return std::string(bytes.begin(), bytes.end());
}

// Downloads of an edited set into a virtual controller, the command line a process of its own.
class CliInterrupt : public CliOnline {
protected:
    // Starts the simulator with --verbose and simArgs, then the download with cliArgs.
    std::unique_ptr<QProcess> StartDownload(std::vector<std::string> simArgs,
                                            const std::vector<std::string>& cliArgs = {}) {
        const Kind& k = Kinds()[0];
        const std::string file = WriteTemp("edited.foc", k.edit(ReadFile(Sample(k.sample))));
        simArgs.insert(simArgs.begin(), "--verbose");
        StartSim(simArgs);
        std::vector<std::string> args{"download", "--port", sim().Path(), "--timeout", "20000"};
        args.insert(args.end(), cliArgs.begin(), cliArgs.end());
        args.push_back(file);
        return StartCliProcess(args);
    }
    // The second block is on its way and the controller never answers it; Ctrl+C.
    void StallAndInterrupt(QProcess& cli) {
        ASSERT_TRUE(sim().WaitForLog("rx 0x29", 20000));
        ::kill(static_cast<pid_t>(sim().Pid()), SIGSTOP);
        ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    }
};

}  // namespace

TEST_F(CliInterrupt, ASignalDuringAWriteStopsAfterTheBlockInFlightAndStoresNothing) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        // Slow replies, and a time-out long enough for them.
        std::unique_ptr<QProcess> cli = StartDownload({"--delay-ms", "150"});
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

// Aimed at the acknowledgement of a block: exactly that block is held, the next never goes out.
TEST_F(CliInterrupt, AStopWhileABlockIsAcknowledgedLetsNoFurtherBlockOrStoreOut) {
    const struct {
        const char* block;
        const char* next;
        const char* holds;
    } cases[] = {
        {"rx 0x29", "rx 0x2A", "holds 2 of 5 blocks"},
        {"rx 0x2C", "rx 0x80", "holds 5 of 5 blocks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        std::unique_ptr<QProcess> cli = StartDownload({"--delay-ms", "150"});
        const Ended e = SignalWhen(sim(), *cli, c.block, SIGTERM);
        EXPECT_EQ(e.rc, 130) << e.err;
        EXPECT_TRUE(Contains(e.err, std::string("drivetune-cli: Interrupted: the controller ") + c.holds)) << e.err;
        const std::string simLog = sim().StopAndLog();
        EXPECT_FALSE(Contains(simLog, c.next)) << "sent after the stop\n" << simLog;
        EXPECT_FALSE(Contains(simLog, "stored")) << simLog;
    }
}

// Once the store request is out, only the controller's answer says what it holds: that answer is
// the result, also when the stop came first.
TEST_F(CliInterrupt, AStopAfterTheStoreRequestReportsTheControllersAnswer) {
    const struct {
        std::vector<std::string> simArgs;
        int rc;
        const char* says;
    } cases[] = {
        {{}, 0, "drivetune-cli: The stop came after the store request: the controller stored the new set.\n"},
        {{"--fail-store"},
         1,
         "drivetune-cli: The stop came after the store request: the controller refused to store it; the set it has "
         "stored is unchanged.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rc);
        std::vector<std::string> simArgs{"--delay-ms", "300"};
        simArgs.insert(simArgs.end(), c.simArgs.begin(), c.simArgs.end());
        std::unique_ptr<QProcess> cli = StartDownload(simArgs);
        const Ended e = SignalWhen(sim(), *cli, "rx 0x80", SIGINT);
        EXPECT_EQ(e.rc, c.rc) << e.err;
        EXPECT_TRUE(Contains(e.err, c.says)) << e.err;
        EXPECT_FALSE(Contains(e.err, "not stored")) << e.err;
        EXPECT_FALSE(Contains(e.err, "nothing more was written")) << e.err;
    }
}

TEST_F(CliInterrupt, AStopDuringTheReadBackSaysTheSetWasStored) {
    std::unique_ptr<QProcess> cli = StartDownload({"--delay-ms", "150"}, {"--verify"});
    ASSERT_TRUE(sim().WaitForLog("L=0 stored", 20000));
    // The read-back's connect and identity requests are under way.
    QThread::msleep(250);
    const Ended e = SignalWhen(sim(), *cli, "L=0 stored", SIGINT);
    EXPECT_EQ(e.rc, 130) << e.err;
    EXPECT_TRUE(
        Contains(e.err, "drivetune-cli: Interrupted: the controller stored the new set; it was not read back.\n"))
        << e.err;
}

// A second Ctrl+C ends the program at once, also while a block is still awaited; a job that was
// started with Ctrl+C ignored (in the background) keeps ignoring it and finishes its download.
TEST_F(CliInterrupt, ASecondInterruptEndsTheProgramAndAnIgnoredOneIsLeftIgnored) {
    std::unique_ptr<QProcess> cli = StartDownload({"--delay-ms", "150"});
    StallAndInterrupt(*cli);
    QThread::msleep(200);
    ::kill(static_cast<pid_t>(cli->processId()), SIGINT);
    const bool ended = cli->waitForFinished(3000);
    ::kill(static_cast<pid_t>(sim().Pid()), SIGCONT);
    ASSERT_TRUE(ended) << "the second Ctrl+C did not end it";
    EXPECT_EQ(cli->exitStatus(), QProcess::CrashExit);
    sim().StopAndLog();

    struct sigaction ignore {
    }, before{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &before);
    cli = StartDownload({"--delay-ms", "50"});
    sigaction(SIGINT, &before, nullptr);
    const Ended e = SignalWhen(sim(), *cli, "rx 0x28", SIGINT);
    EXPECT_EQ(e.rc, 0) << e.err;
    EXPECT_TRUE(Contains(sim().StopAndLog(), "L=0 stored"));
}

// The controller goes away while the block in flight is awaited: it still holds what was written.
TEST_F(CliInterrupt, AControllerLostAfterTheStopStillHoldsItsWrittenBlocks) {
    std::unique_ptr<QProcess> cli = StartDownload({"--delay-ms", "150"});
    StallAndInterrupt(*cli);
    // It waits for the block in flight without spinning: a second of waiting costs next to no
    // processor time (a spinning loop would take a share of it even on a busy machine).
    const long before = CpuTicks(cli->processId());
    QThread::msleep(1000);
    EXPECT_LT(CpuTicks(cli->processId()) - before, 5);
    ::kill(static_cast<pid_t>(sim().Pid()), SIGKILL);
    ASSERT_TRUE(cli->waitForFinished(20000));
    EXPECT_EQ(cli->exitCode(), 130);
    const std::string err = cli->readAllStandardError().toStdString();
    EXPECT_TRUE(Contains(err, " went away")) << err;
    EXPECT_TRUE(Contains(err, "drivetune-cli: Interrupted: the controller holds 1 of 5 blocks written but not stored;"))
        << err;
}

TEST_F(CliInterrupt, ASignalDuringAReadLeavesNoFile) {
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
    const std::string simLog = sim().StopAndLog();
    EXPECT_FALSE(WroteAnything(simLog));
    // At once: the identity's answer is not waited for, so no further block is asked for.
    EXPECT_FALSE(Contains(simLog, "rx 0x11")) << simLog;
}

// An interrupt taken between two exchanges: the next one sends nothing.
TEST_F(CliInterrupt, AnInterruptBeforeAnExchangeSendsNothing) {
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
