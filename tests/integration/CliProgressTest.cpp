// The progress line of drivetune-cli on standard error: drawn in place on a terminal, cleared
// before the message that ends the exchange, and never drawn in a pipe or with --quiet.
#include "CliHarness.h"

namespace clitest {

namespace {

dt::cli::Console Terminal() {
    dt::cli::Console console;
    console.errIsTerminal = true;
    return console;
}

}  // namespace

TEST_F(CliOnline, ProgressCountsBlocksInPlaceOnATerminal) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const bool foc = std::string(k.name) == "foc";
        const std::string reads = foc ? "2" : "10";
        CliResult r = Cli({"upload", "--port", sim().Path()}, Terminal());
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_TRUE(Contains(r.err, "\rReading block 1 of " + reads)) << r.err;
        EXPECT_TRUE(Contains(r.err, "\rReading block " + reads + " of " + reads)) << r.err;
        // Cleared (spaces over the widest line, back to its start) before the message.
        const std::string widest = "Reading block " + reads + " of " + reads;
        EXPECT_TRUE(Contains(r.err, "\r" + std::string(widest.size(), ' ') + "\rUpload parameters successfully\n"))
            << r.err;

        const std::string file = WriteTemp("edited" + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        r = Cli({"download", "--port", sim().Path(), file}, Terminal());
        ASSERT_EQ(r.rc, 0) << r.err;
        const std::string writes = foc ? "1" : "5";
        EXPECT_TRUE(Contains(r.err, "\rWriting block 1 of " + writes)) << r.err;
        EXPECT_TRUE(Contains(r.err, "\rWriting block " + writes + " of " + writes)) << r.err;
        EXPECT_TRUE(Contains(r.err, "\rDownload parameters successfully\n")) << r.err;
        sim().StopAndLog();
    }
}

TEST_F(CliOnline, NoProgressInAPipeOrWhenQuiet) {
    StartSim({});
    CliResult r = Cli({"upload", "--port", sim().Path(), "-q"}, Terminal());
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "") << "quiet leaves standard error empty";
    r = Cli({"upload", "--port", sim().Path()});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_FALSE(Contains(r.err, "\r")) << r.err;
    EXPECT_FALSE(Contains(r.err, "block")) << r.err;
    // The program itself, its standard error a pipe.
    std::unique_ptr<QProcess> cli = StartCliProcess({"upload", "--port", sim().Path()});
    ASSERT_TRUE(cli->waitForFinished(20000));
    EXPECT_EQ(cli->exitCode(), 0);
    const std::string err = cli->readAllStandardError().toStdString();
    EXPECT_FALSE(Contains(err, "\r")) << err;
    EXPECT_EQ(err, "Upload parameters successfully\n");
}

TEST_F(CliOnline, ProgressSpeaksTheChosenLanguage) {
    StartSim({});
    const CliResult r = Cli({"upload", "--port", sim().Path(), "--lang", "cn"}, Terminal());
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "\r正在读取第 10 块，共 10 块")) << r.err;
    // Wide characters take two columns each: the clearing covers them all.
    EXPECT_TRUE(Contains(r.err, "\r" + std::string(26, ' ') + "\r")) << r.err;
}

}  // namespace clitest
