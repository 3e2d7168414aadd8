// Two controllers at once in one process: a standard one and an FOC one, each on its own
// virtual controller and session, read and written in the same event loop. Neither sees the
// other's kind, values or outcome.
#include <sstream>

#include "CliHarness.h"
#include "ConsoleHost.h"
#include "OnlineSession.h"
#include "ToolState.h"

using namespace clitest;

namespace {

// One controller's side: its state, console, port and session.
struct Side {
    dt::ToolState state;
    std::ostringstream out, err;
    dt::cli::ConsoleHost host{state, out, err};
    dt::SerialPort serial;
    dt::cli::OnlineSession session{state, host, err, serial};

    int Row(const std::string& name) {
        const std::vector<dt::GridRow> rows = dt::GridLayout(state);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].desc->name_en == name) return static_cast<int>(i);
        return -1;
    }
    std::string Shown(const std::string& name) { return state.sheet.Text(Row(name)); }
};

// Both exchanges started, then both waited for: each runs while the other's loop turns.
void RunBoth(Side& a, Side& b, const std::function<bool(Side&)>& start) {
    ASSERT_TRUE(start(a));
    ASSERT_TRUE(start(b));
    a.session.Wait();
    b.session.Wait();
}

}  // namespace

TEST_F(CliOnline, TwoControllersOfEachKindAreReadAndWrittenAtOnce) {
    SimProcess standardSim, focSim;
    ASSERT_TRUE(standardSim.Start({}, Dir()));
    ASSERT_TRUE(focSim.Start({"--foc"}, Dir()));
    Side standard, foc;
    ASSERT_EQ(standard.state.catalogue, foc.state.catalogue) << "one catalogue";
    ASSERT_TRUE(standard.session.Open({0, standardSim.Path()}));
    ASSERT_TRUE(foc.session.Open({0, focSim.Path()}));

    auto connect = [](Side& s) { return s.session.Link().commands.StartConnect(); };
    RunBoth(standard, foc, connect);
    ASSERT_EQ(standard.session.Reads(), 1) << standard.err.str();
    ASSERT_EQ(foc.session.Reads(), 1) << foc.err.str();
    EXPECT_EQ(standard.state.kind, dt::ControllerKind::Standard);
    EXPECT_EQ(foc.state.kind, dt::ControllerKind::Foc);
    EXPECT_EQ(standard.state.sheet.Rows(), 90);
    EXPECT_EQ(foc.state.sheet.Rows(), 15);
    ASSERT_EQ(standard.Shown("Rated motor speed (rpm)"), "1000");
    ASSERT_EQ(foc.Shown("Maximum Forward speed (rpm)"), "500");

    standard.state.sheet.SetCell(standard.Row("Rated motor speed (rpm)"), "1500");
    foc.state.sheet.SetCell(foc.Row("Maximum Forward speed (rpm)"), "600");
    RunBoth(standard, foc, [](Side& s) { return s.session.Link().commands.Download(); });
    EXPECT_EQ(standard.session.LastOutcome(), dt::cli::OnlineSession::Outcome::Stored) << standard.err.str();
    EXPECT_EQ(foc.session.LastOutcome(), dt::cli::OnlineSession::Outcome::Stored) << foc.err.str();
    EXPECT_EQ(standard.state.sheet.ChangedCount(), 0);
    EXPECT_EQ(foc.state.sheet.ChangedCount(), 0);

    // Read back: each controller kept its own edit.
    RunBoth(standard, foc, connect);
    EXPECT_EQ(standard.session.Reads(), 2);
    EXPECT_EQ(foc.session.Reads(), 2);
    EXPECT_EQ(standard.Shown("Rated motor speed (rpm)"), "1500");
    EXPECT_EQ(foc.Shown("Maximum Forward speed (rpm)"), "600");
    EXPECT_EQ(standard.err.str(),
              "Upload parameters successfully\nDownload parameters successfully\nUpload parameters successfully\n");
    EXPECT_EQ(foc.err.str(), standard.err.str());
}
