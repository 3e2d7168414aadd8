// drivetune-cli's online commands against the virtual controller, for both controller kinds.
#include <QElapsedTimer>
#include <filesystem>

#include "Backups.h"
#include "CliHarness.h"
#include "Json.h"
#include "Settings.h"
#include "SupportLog.h"

using namespace clitest;


TEST_F(CliOnline, UploadPrintsTheControllerAndSavesItsFile) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const std::string file = Dir() + "/read" + Extension(k);
        CliResult r = Cli({"upload", "--port", sim().Path(), "-o", file});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.out.rfind(std::string(k.heading) + "\n", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "Upload parameters successfully\nExport file successfully\n");
        EXPECT_EQ(ReadFile(file), ReadFile(Sample(k.sample)));

        r = Cli({"upload", "--json", "--port", sim().Path()});
        ASSERT_EQ(r.rc, 0) << r.err;
        const dt::cli::Json read = dt::cli::Json::parse(r.out);
        EXPECT_EQ(read.at("kind"), k.name);
        // One set, one sheet: read from the controller or shown from the file it was saved to.
        const dt::cli::Json saved = dt::cli::Json::parse(Cli({"show", "--json", file}).out);
        EXPECT_EQ(read.at("modelWord"), saved.at("modelWord"));
        EXPECT_EQ(read, saved);
        EXPECT_TRUE(ShowsValue(r.out, k.editedRow, k.factoryValue)) << r.out;
        EXPECT_EQ(r.err, "Upload parameters successfully\n");
    }
}

TEST_F(CliOnline, UploadRefusesToSaveAControllerUnderTheOtherKindOfFile) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const std::string file = Dir() + "/read." + k.otherExtension;
        CliResult r = Cli({"upload", "--port", sim().Path(), "-o", file});
        EXPECT_EQ(r.rc, 2);
        EXPECT_TRUE(Contains(r.err, "nothing written")) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
    }
}

// "-" reads the set from standard input, and a name in upper case is taken as its lower-case kind.
TEST_F(CliOnline, DownloadTakesStandardInputAndUpperCaseNames) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const Bytes edited = k.edit(ReadFile(Sample(k.sample)));
        CliResult r = CliWithInput({"download", "--port", sim().Path(), "-"}, edited);
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Download parameters successfully\n");
        r = Cli({"upload", "--port", sim().Path(), "--json"});
        EXPECT_TRUE(ShowsValue(r.out, k.editedRow, k.editedValue)) << r.out;

        std::string upper = "BACK" + Extension(k);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        r = Cli({"download", "--port", sim().Path(), WriteTemp(upper, ReadFile(Sample(k.sample)))});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Download parameters successfully\n");
        r = Cli({"upload", "--port", sim().Path(), "--json"});
        EXPECT_TRUE(ShowsValue(r.out, k.editedRow, k.factoryValue)) << r.out;
        sim().StopAndLog();
    }
    // Nothing on standard input: refused before the port is opened.
    StartSim({"--verbose"});
    const CliResult r = CliWithInput({"download", "--port", sim().Path(), "-"}, {});
    EXPECT_EQ(r.rc, 2);
    EXPECT_EQ(r.err, "drivetune-cli: -: file too short (a .foc file holds 1024 bytes, a .ged file 32)\n");
    EXPECT_FALSE(Contains(sim().StopAndLog(), "rx ")) << "nothing was sent";
}

TEST_F(CliOnline, DownloadWritesTheFileAndTheControllerKeepsIt) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const std::string file = WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        CliResult r = Cli({"download", "--port", sim().Path(), file});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Download parameters successfully\n");
        EXPECT_EQ(r.out, "");

        r = Cli({"upload", "--port", sim().Path(), "--json"});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_TRUE(ShowsValue(r.out, k.editedRow, k.editedValue)) << r.out;
    }
}

TEST_F(CliOnline, StoreReadsTheIdentityQuietlyThenStores) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        CliResult r = Cli({"store", "--port", sim().Path()});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Save the parameters successfully\n");
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliOnline, RestoreBringsBackTheFactoryValuesAndShowsThem) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const std::string file = WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        ASSERT_EQ(Cli({"download", "--port", sim().Path(), file}).rc, 0);

        CliResult r = Cli({"restore", "--port", sim().Path(), "--json"});
        ASSERT_EQ(r.rc, 0) << r.err;
        const auto backups = dt::ListBackups(dt::DefaultBackupDir());
        EXPECT_EQ(r.err, "Restore the default parameters successfully\nThe replaced set is kept in the backup " +
                             std::filesystem::path(backups.at(1).path).filename().string() +
                             "\nUpload parameters successfully\n");
        EXPECT_TRUE(ShowsValue(r.out, k.editedRow, k.factoryValue)) << r.out;
    }
}

TEST_F(CliOnline, ComNumbersGoThroughThePortsFolder) {
    StartSim({"--bind", "COM7"});
    CliResult r = Cli({"ports"});
    ASSERT_EQ(r.rc, 0);
    const std::string entry = "COM7 (" + sim().Path() + ")";
    EXPECT_TRUE(Contains(r.out, entry + "\n")) << r.out;

    // As typed, and as the port box entry that `ports` prints.
    for (const std::string& port : {std::string("COM7"), std::string("com7"), entry}) {
        SCOPED_TRACE(port);
        r = Cli({"upload", "--port", port});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Upload parameters successfully\n");
    }

    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"upload", "--port", "COM9"}, "fail to open the serial port COM9 9600\n"},
        {{"store", "--port", "COM9", "--baud", "19200"}, "fail to open the serial port COM9 19200\n"},
        // Leading zeros are decimal, never octal.
        {{"store", "--port", "COM9", "--baud", "011520", "--timeout", "0100"},
         "fail to open the serial port COM9 11520\n"},
        {{"upload", "--port", Dir() + "/ttyNone"}, "fail to open the serial port COM0 9600\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[2]);
        r = Cli(c.args);
        EXPECT_EQ(r.rc, 1);
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliOnline, MessagesComeInTheChosenLanguage) {
    StartSim({});
    CliResult r = Cli({"--lang", "cn", "store", "--port", sim().Path()});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.err, "保存参数成功\n");
}

TEST_F(CliOnline, UsageErrorsExitTwoBeforeAnyPortIsOpened) {
    const std::string foc = Sample("standard-b.foc");
    const std::string shortFile = WriteTemp("short.foc", Bytes(1000, 0));
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"upload", "--port"}, "--port: 1 required P missing"},
        {{"upload", "--port", "ttyUSB0"}, "--port: takes COM<n> or a device path"},
        {{"upload", "--port", "COM0"}, "--port: takes COM1 to COM1024"},
        {{"upload", "--port", "COM2000"}, "--port: takes COM1 to COM1024"},
        {{"upload", "--port", "COM3", "--baud", "fast"}, "--baud: Value fast"},
        {{"upload", "--port", "COM3", "--port", "COM4"}, "--port: At Most 1"},
        {{"upload", "--port", "COM3", "-o", "x.txt"}, "the name must end in .foc or .ged"},
        {{"upload", "--port", "COM3", "--verbose"}, "not expected: --verbose"},
        {{"download", "--port", "COM3"}, "download takes FILE, --set ID=VALUE, or both"},
        {{"download", "--port", "COM3", foc, foc}, "FILE: At Most 1 required but received 2"},
        {{"download", "--port", "COM3", Dir() + "/none.foc"}, "cannot read"},
        {{"download", "--port", "COM3", shortFile}, "file too short"},
        {{"download", "--port", "COM3", foc, "-o"}, "not expected: -o"},
        {{"download", "--port", "COM3", "--dry-run", "--verify", foc}, "--dry-run excludes --verify"},
        {{"diff", "--port", "COM3", foc, foc}, "diff takes two files A B, or --port P and one FILE"},
        {{"diff", "--port", "COM3", Dir() + "/none.foc"}, "cannot read"},
        {{"store", "--port", "COM3", foc}, "not expected: " + foc},
        {{"ports", "--all"}, "not expected: --all"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        CliResult r = Cli(c.args);
        EXPECT_EQ(r.rc, 2);
        EXPECT_TRUE(Contains(r.err, c.reason)) << r.err;
        EXPECT_FALSE(Contains(r.err, "fail to open")) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliOnline, TheSupportLogHoldsCommandsMessagesAndWithTraceFrames) {
    StartSim({});
    dt::StartSupportLog("drivetune-cli");
    CliResult r = Cli({"upload", "--port", sim().Path(), "--trace"});
    dt::SetFrameTrace(false);
    r = Cli({"store", "--port", Dir() + "/ttyNone"});
    dt::StopSupportLog();
    const Bytes bytes = ReadFile(dt::SupportLogPath());
    const std::string log(bytes.begin(), bytes.end());
    EXPECT_TRUE(Contains(log, "command: upload --port " + sim().Path() + " --trace\n")) << log;
    EXPECT_TRUE(Contains(log, "message: Upload parameters successfully\n")) << log;
    EXPECT_TRUE(Contains(log, "command upload ended with exit status 0\n")) << log;
    EXPECT_TRUE(Contains(log, "66 10")) << "the identity request, traced in hex\n" << log;
    EXPECT_TRUE(Contains(log, "message: fail to open the serial port COM0 9600")) << log;
    EXPECT_TRUE(Contains(log, "command store ended with exit status 1\n")) << log;
}

// Without --port: DRIVETUNE_PORT, then the port the window used last; standard error says which,
// unless --quiet, which leaves nothing on standard error after a success.
TEST_F(CliOnline, WithoutPortTheEnvironmentThenTheSettingsNameIt) {
    StartSim({"--bind", "COM5"});
    setenv("DRIVETUNE_PORT", sim().Path().c_str(), 1);
    CliResult r = Cli({"upload"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "drivetune-cli: port " + sim().Path() + " (from DRIVETUNE_PORT)\nUpload parameters successfully\n");
    setenv("DRIVETUNE_PORT", "ttyUSB0", 1);
    r = Cli({"store"});
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(Contains(r.err, "DRIVETUNE_PORT: takes COM<n> or a device path")) << r.err;
    unsetenv("DRIVETUNE_PORT");

    dt::Settings settings;
    settings.UartPort = 5;
    ASSERT_TRUE(dt::SaveSettings(dt::DefaultSettingsPath(), settings));
    r = Cli({"upload"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "drivetune-cli: port COM5 (from the settings)\nUpload parameters successfully\n");
    r = Cli({"-q", "upload", "-o", Dir() + "/read.foc"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.err, "") << "quiet on success";
    EXPECT_FALSE(r.out.empty()) << "data still printed";
    r = Cli({"--quiet", "download", "--verify", Dir() + "/read.foc"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.err, "");
    // A failure is still reported.
    settings.UartPort = 9;
    ASSERT_TRUE(dt::SaveSettings(dt::DefaultSettingsPath(), settings));
    r = Cli({"-q", "upload"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Contains(r.err, "fail to open the serial port COM9")) << r.err;
}

// A controller that answers every 300 ms needs more than the window's 2.2 s for a whole read.
TEST_F(CliOnline, ASlowControllerIsReadWithALongerTimeout) {
    StartSim({"--delay-ms", "300"});
    CliResult r = Cli({"upload", "--port", sim().Path()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Contains(r.err, "no response because of timeout")) << r.err;
    r = Cli({"upload", "--port", sim().Path(), "--timeout", "8000"});
    EXPECT_EQ(r.rc, 0) << r.err;
    r = Cli({"upload", "--port", sim().Path(), "--timeout", "50"});
    EXPECT_EQ(r.rc, 2);
}

// --timeout is honoured beyond the 30 s that end an exchange a controller keeps restarting.
TEST_F(CliOnline, ATimeoutAboveThirtySecondsIsWaitedInFull) {
    StartSim({"--silent"});
    QElapsedTimer waited;
    waited.start();
    const CliResult r = Cli({"upload", "--port", sim().Path(), "--timeout", "31000"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Contains(r.err, "no response because of timeout")) << r.err;
    EXPECT_GE(waited.elapsed(), 30500);
}

// Scripts read JSON whatever the outcome: the rows read back (none when all match), and a
// refusal with its rows and their bounds.
TEST_F(CliOnline, JsonForVerifiedAndRefusedDownloads) {
    StartSim({});
    const std::string same = WriteTemp("same.foc", ReadFile(Sample("standard-b.foc")));
    CliResult r = Cli({"download", "--port", sim().Path(), same, "--verify", "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(dt::cli::Json::parse(r.out), dt::cli::Json::parse(R"({"schema": 1, "rows": []})"));

    const std::string bad = WriteTemp("bad.foc", WithWord(ReadFile(Sample("standard-b.foc")), 202, 1));
    for (const char* mode : {"--dry-run", "--verify"}) {
        SCOPED_TRACE(mode);
        r = Cli({"download", "--port", sim().Path(), bad, mode, "--json"});
        EXPECT_EQ(r.rc, 1);
        const dt::cli::Json refusal = dt::cli::Json::parse(r.out);
        EXPECT_EQ(refusal.at("schema"), 1);
        EXPECT_EQ(refusal.at("accepted"), false);
        ASSERT_EQ(refusal.at("rows").size(), 1u);
        EXPECT_EQ(refusal.at("rows")[0].at("name"), "Number of pole pairs");
        EXPECT_EQ(refusal.at("rows")[0].at("min"), 2.0);
        EXPECT_EQ(refusal.at("rows")[0].at("max"), 28.0);
        EXPECT_EQ(refusal.at("rows")[0].at("detail"),
                  dt::cli::Json::parse(R"({"text": "1", "word": 1, "number": 1, "unit": null, "min": 2, "max": 28})"));
    }

    // Each side of a dry run's and a verify's rows carries its detail: here the controller drops
    // the first block written, so the rated speed sent is not the one read back.
    const std::string faster = WriteTemp("faster.foc", WithWord(ReadFile(Sample("standard-b.foc")), 203, 1500));
    r = Cli({"download", "--port", sim().Path(), faster, "--dry-run", "--json"});
    ASSERT_EQ(r.rc, 0) << r.err;
    dt::cli::Json rows = dt::cli::Json::parse(r.out).at("rows");
    ASSERT_EQ(rows.size(), 1u) << r.out;
    EXPECT_EQ(rows[0].at("a").at("detail"), dt::cli::Json::parse(R"({"text": "1000", "word": 1000, "number": 1000,
        "unit": "rpm", "min": 1, "max": 2800})"));
    EXPECT_EQ(rows[0].at("b").at("detail").at("word"), 1500);
    sim().StopAndLog();
    StartSim({"--drop-write"});
    r = Cli({"download", "--port", sim().Path(), faster, "--verify", "--json"});
    EXPECT_EQ(r.rc, 1) << r.err;
    rows = dt::cli::Json::parse(r.out).at("rows");
    ASSERT_EQ(rows.size(), 1u) << r.out;
    EXPECT_EQ(rows[0].at("sent").at("detail").at("number"), 1500);
    EXPECT_EQ(rows[0].at("readBack").at("detail").at("number"), 1000);
}

// -o - : the set's bytes on standard output, as a file would hold them, and nothing else there;
// "-" reads one back for show.
TEST_F(CliOnline, UploadToStandardOutputGivesTheFilesBytes) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        CliResult r = Cli({"upload", "--port", sim().Path(), "-o", "-"});
        ASSERT_EQ(r.rc, 0) << r.err;
        const Bytes sample = ReadFile(Sample(k.sample));
        EXPECT_EQ(Bytes(r.out.begin(), r.out.end()), sample);
        sim().StopAndLog();
    }
}

