// drivetune-cli's online commands against the virtual controller, for both controller kinds.
#include "CliHarness.h"

using namespace clitest;

namespace {

// One controller kind: how the simulator plays it, its file, and one value a download changes.
struct Kind {
    const char* name;
    std::vector<std::string> simArgs;
    const char* sample;   // the simulator's own set
    const char* heading;  // first line of its sheet
    const char* otherExtension;
    Bytes (*edit)(Bytes);
    const char* factoryValue;  // JSON name and value before the edit
    const char* editedValue;   // and after it
};

Bytes FasterMotor(Bytes b) { return WithWord(std::move(b), 203, 1500); }  // rated motor speed

Bytes FasterFoc(Bytes b) {  // maximum forward speed, little-endian at offset 6
    b.at(6) = 600 & 0xFF;
    b.at(7) = 600 >> 8;
    return b;
}

const Kind kKinds[] = {
    {"standard", {}, "standard-b.foc", "== Controller Parameter settings ==", "ged", FasterMotor,
     "\"name\": \"Rated motor speed (rpm)\", \"value\": \"1000\"",
     "\"name\": \"Rated motor speed (rpm)\", \"value\": \"1500\""},
    {"foc", {"--foc"}, "foc.ged", "== FOC Controller setting ==", "foc", FasterFoc,
     "\"name\": \"Maximum Forward speed (rpm)\", \"value\": \"500\"",
     "\"name\": \"Maximum Forward speed (rpm)\", \"value\": \"600\""},
};

std::string Extension(const Kind& k) { return std::string(k.sample).substr(std::string(k.sample).rfind('.')); }

}  // namespace

TEST_F(CliOnline, UploadPrintsTheControllerAndSavesItsFile) {
    for (const Kind& k : kKinds) {
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
        EXPECT_EQ(r.out.rfind(std::string("{\"kind\": \"") + k.name + "\"", 0), 0u) << r.out;
        EXPECT_TRUE(Contains(r.out, k.factoryValue)) << r.out;
        EXPECT_EQ(r.err, "Upload parameters successfully\n");
    }
}

TEST_F(CliOnline, UploadRefusesToSaveAControllerUnderTheOtherKindOfFile) {
    for (const Kind& k : kKinds) {
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

TEST_F(CliOnline, DownloadWritesTheFileAndTheControllerKeepsIt) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const std::string file = WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        CliResult r = Cli({"download", "--port", sim().Path(), file});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Download parameters successfully\n");
        EXPECT_EQ(r.out, "");

        r = Cli({"upload", "--port", sim().Path(), "--json"});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_TRUE(Contains(r.out, k.editedValue)) << r.out;
    }
}

TEST_F(CliOnline, StoreReadsTheIdentityQuietlyThenStores) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        CliResult r = Cli({"store", "--port", sim().Path()});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Save the parameters successfully\n");
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliOnline, RestoreBringsBackTheFactoryValuesAndShowsThem) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        StartSim(k.simArgs);
        const std::string file = WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
        ASSERT_EQ(Cli({"download", "--port", sim().Path(), file}).rc, 0);

        CliResult r = Cli({"restore", "--port", sim().Path(), "--json"});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.err, "Restore the default parameters successfully\nUpload parameters successfully\n");
        EXPECT_TRUE(Contains(r.out, k.factoryValue)) << r.out;
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
        const char* reason;
    } cases[] = {
        {{"upload"}, "--port is missing"},
        {{"upload", "--port"}, "--port needs a value"},
        {{"upload", "--port", "ttyUSB0"}, "--port takes COM<n> or a device path"},
        {{"upload", "--port", "COM0"}, "--port takes COM1 to COM1024"},
        {{"upload", "--port", "COM2000"}, "--port takes COM1 to COM1024"},
        {{"upload", "--port", "COM3", "--baud", "fast"}, "--baud takes a rate"},
        {{"upload", "--port", "COM3", "--port", "COM4"}, "--port is given twice"},
        {{"upload", "--port", "COM3", "-o", "x.txt"}, "the name must end in .foc or .ged"},
        {{"upload", "--port", "COM3", "--verbose"}, "unknown option \"--verbose\""},
        {{"download", "--port", "COM3"}, "FILE is missing"},
        {{"download", "--port", "COM3", foc, foc}, "only one FILE is taken"},
        {{"download", "--port", "COM3", Dir() + "/none.foc"}, "cannot read"},
        {{"download", "--port", "COM3", shortFile}, "file too short"},
        {{"download", "--port", "COM3", "--json", foc}, "unknown option \"--json\""},
        {{"store", "--port", "COM3", foc}, "unexpected operand"},
        {{"ports", "--all"}, "ports takes no arguments"},
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
