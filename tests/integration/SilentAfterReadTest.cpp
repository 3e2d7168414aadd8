// A controller that answers the read and then goes quiet: the download must not report
// success, and nothing may be stored.
#include "CliHarness.h"

using namespace clitest;

TEST_F(CliOnline, DownloadFailsWhenTheControllerGoesSilentAfterTheRead) {
    for (const char* kind : {"standard", "foc"}) {
        SCOPED_TRACE(kind);
        const bool foc = std::string(kind) == "foc";
        std::vector<std::string> simArgs = {"--silent-after-read", "--verbose"};
        if (foc) simArgs.push_back("--foc");
        StartSim(simArgs);
        CliResult r = Cli({"download", "--port", sim().Path(), Sample(foc ? "foc.ged" : "standard-b.foc")});
        EXPECT_EQ(r.rc, 1) << r.err;
        const std::string timeout = "no response because of timeout\n";
        EXPECT_TRUE(r.err.size() >= timeout.size() &&
                    r.err.compare(r.err.size() - timeout.size(), std::string::npos, timeout) == 0)
            << r.err;
        EXPECT_FALSE(Contains(r.err, "successfully")) << r.err;
        const std::string log = sim().StopAndLog();
        EXPECT_TRUE(Contains(log, "(silent after the read)")) << log;
        EXPECT_FALSE(Contains(log, "acknowledged")) << log;
    }
}
