// drivetune-cli against a misbehaving or mismatched virtual controller: what it reports, its
// exit status, and that a refused download sends nothing.
#include <QElapsedTimer>
#include <QTimer>
#include <sstream>

#include "CliHarness.h"
#include "OnlineSession.h"
#include "ToolState.h"

using namespace clitest;

namespace {

bool Speed1000(const std::string& out) { return ShowsValue(out, "Rated motor speed (rpm)", "1000"); }

}  // namespace

TEST_F(CliOnline, FailureModesOfTheController) {
    struct Case {
        std::vector<std::string> simArgs;
        const char* command;  // with the simulator's own file for download
        int rc;
        const char* message;  // the last message line
    } cases[] = {
        {{"--answer-00", "2"}, "upload", 0, "Upload parameters successfully"},
        {{"--garbage"}, "download", 0, "Download parameters successfully"},
        {{"--split"}, "download", 0, "Download parameters successfully"},
        {{"--foc", "--split", "--garbage"}, "download", 0, "Download parameters successfully"},
        {{"--delay-ms", "30"}, "upload", 0, "Upload parameters successfully"},
        {{"--fail-store"}, "download", 1, "Fail to Download parameters"},
        {{"--foc", "--fail-store"}, "download", 1, "Fail to Download parameters"},
        {{"--fail-store"}, "store", 1, "Fail to Save the parameters"},
        {{"--fail-store"}, "restore", 1, "Upload parameters successfully"},
        {{"--short-block"}, "upload", 1, "Data packet length error"},
        {{"--foc", "--short-block"}, "store", 1, "Data packet length error"},
        {{"--silent"}, "upload", 1, "no response because of timeout"},
    };
    for (const Case& c : cases) {
        std::string flags;
        for (const std::string& a : c.simArgs) flags += a + " ";
        SCOPED_TRACE(flags + c.command);
        StartSim(c.simArgs);
        std::vector<std::string> args = {c.command, "--port", sim().Path()};
        const bool foc = c.simArgs[0] == "--foc";
        if (std::string(c.command) == "download") args.push_back(Sample(foc ? "foc.ged" : "standard-b.foc"));
        CliResult r = Cli(args);
        EXPECT_EQ(r.rc, c.rc) << r.err;
        EXPECT_TRUE(r.err.size() > 0 && Contains(r.err, std::string(c.message) + "\n") &&
                    r.err.compare(r.err.size() - std::string(c.message).size() - 1, std::string::npos,
                                  std::string(c.message) + "\n") == 0)
            << r.err;
    }
}

// The outcome comes from the controller's answer, never from the words a text.ini gives it.
TEST_F(CliOnline, ARefusedDownloadFailsEvenWhenItsMessageReadsAsTheStoredOne) {
    WriteFile(Dir() + "/text.ini", {'2', '0', '0', '4', '=', 'O', 'K', '\n', '2', '0', '2', '2', '=', 'O', 'K', '\n'});
    StartSim({"--fail-store"});
    CliResult r = Cli({"download", "--port", sim().Path(), Sample("standard-b.foc")});
    EXPECT_EQ(r.rc, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "OK\n")) << r.err;
}

TEST_F(CliOnline, RestoreRefusedStillShowsWhatTheControllerHolds) {
    StartSim({"--fail-store"});
    CliResult r = Cli({"restore", "--port", sim().Path(), "--json"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "Fail to Restore the default parameters\nUpload parameters successfully\n");
    EXPECT_TRUE(Speed1000(r.out)) << r.out;
}

TEST_F(CliOnline, DownloadRefusedByTheRangeCheckSendsNothing) {
    StartSim({"--verbose"});
    const std::string file = WriteTemp("fast.foc", WithWord(ReadFile(Sample("standard-b.foc")), 203, 60000));
    CliResult r = Cli({"download", "--port", sim().Path(), file});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, "Input data is not legitimate\n\nRated motor speed (rpm): 1.0 ≤ x ≤ 2800.0\n");
    EXPECT_EQ(r.err, "");

    r = Cli({"upload", "--port", sim().Path(), "--json"});
    EXPECT_TRUE(Speed1000(r.out)) << r.out;
    const std::string log = sim().StopAndLog();
    EXPECT_TRUE(Contains(log, "rx 0x1C")) << log;
    EXPECT_FALSE(WroteAnything(log)) << log;
}

TEST_F(CliOnline, FileOfAnotherControllerIsRefusedAndNothingSent) {
    const std::string otherHardware = WriteTemp("other.foc", WithWord(ReadFile(Sample("standard-b.foc")), 11, 7));
    struct Case {
        std::vector<std::string> simArgs;
        std::string file;
    } cases[] = {
        {{"--verbose"}, otherHardware},
        {{"--verbose"}, Sample("foc.ged")},
        {{"--verbose", "--foc"}, Sample("standard-b.foc")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        StartSim(c.simArgs);
        CliResult r = Cli({"download", "--port", sim().Path(), c.file});
        EXPECT_EQ(r.rc, 1);
        EXPECT_EQ(r.err.rfind("File does not match with the controller\n", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
        const std::string log = sim().StopAndLog();
        EXPECT_TRUE(Contains(log, "rx 0x10")) << "the controller was read first\n" << log;
        EXPECT_FALSE(WroteAnything(log)) << log;
    }
}

TEST_F(CliOnline, UnreadableFileIsRefusedBeforeTheControllerIsTouched) {
    StartSim({"--verbose"});
    CliResult r = Cli({"download", "--port", sim().Path(), Dir() + "/missing.foc"});
    EXPECT_EQ(r.rc, 2);
    const std::string log = sim().StopAndLog();
    EXPECT_FALSE(Contains(log, "rx ")) << log;
}

// The engine, not the command line, is measured here: the session's own limits.
class CliSession : public CliOnline {
protected:
    struct Ended {
        qint64 ms;
        std::string err;
        int completions;
    };
    // Runs the Connect exchange against the simulator; during is called once the loop runs.
    Ended Connect(int limitMs, std::function<void()> during = {}) {
        dt::ToolState s;
        std::ostringstream out, err;
        dt::cli::ConsoleHost host(s, out, err);
        dt::SerialPort serial;
        dt::cli::OnlineSession session(s, host, err, serial);
        session.SetExchangeLimitMs(limitMs);
        EXPECT_TRUE(session.Open({0, sim().Path()}));
        if (during) QTimer::singleShot(150, during);
        QElapsedTimer clock;
        clock.start();
        session.Run([&] { return session.Link().commands.StartConnect(); });
        return {clock.elapsed(), err.str(), session.Reads()};
    }
};

TEST_F(CliSession, ControllerThatIsNeverReadyEndsAsATimeOut) {
    StartSim({"--answer-00", "1000000"});
    Ended e = Connect(400);
    EXPECT_EQ(e.err, "no response because of timeout\n");
    EXPECT_EQ(e.completions, 0);
    EXPECT_LT(e.ms, 1500) << "the limit, not the reply time-out, ended it";
}

TEST_F(CliSession, DeviceThatGoesAwayEndsTheExchange) {
    StartSim({"--delay-ms", "1000"});
    Ended e = Connect(dt::cli::OnlineSession::kExchangeLimitMs, [this] { sim().StopAndLog(); });
    EXPECT_EQ(e.completions, 0);
    EXPECT_TRUE(Contains(e.err, " went away")) << e.err;
    EXPECT_LT(e.ms, 1000) << "ended by the lost device, not by the time-out";
}
