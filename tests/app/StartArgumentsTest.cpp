// The window program's own arguments: --version and --help answered without a display, and the
// file to import.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <sstream>

#include "StartArguments.h"
#include "Version.h"

namespace {

TEST(StartArguments, TheFileIsTheFirstWordThatIsNoOption) {
    struct Case {
        std::vector<std::string> args;
        bool version, help;
        const char* file;
    } cases[] = {
        {{}, false, false, ""},
        {{"set.foc"}, false, false, "set.foc"},
        {{"-platform", "offscreen"}, false, false, "offscreen"},  // Qt takes its options out first
        {{"--version", "a.foc", "b.foc"}, true, false, "a.foc"},
        {{"-h"}, false, true, ""},
        {{"--help", "-"}, false, true, ""},
    };
    for (const Case& c : cases) {
        const dt::StartArguments a = dt::ParseStartArguments(c.args);
        EXPECT_EQ(a.version, c.version);
        EXPECT_EQ(a.help, c.help);
        EXPECT_EQ(a.file, c.file);
        EXPECT_FALSE(a.station);
    }
    std::ostringstream out;
    EXPECT_FALSE(dt::AnswerInfoArguments(dt::ParseStartArguments({"set.foc"}), out));
    EXPECT_EQ(out.str(), "");
}

TEST(StartArguments, TheStationWindowTakesItsRecipeAndTheHashExpected) {
    struct Case {
        std::vector<std::string> args;
        const char* file;
        const char* hash;
    } cases[] = {
        {{"--station"}, "", ""},
        {{"--station", "r.foc", "--expect-sha256", "ab12"}, "r.foc", "ab12"},
        {{"--expect-sha256=CD34", "--station", "r.ged"}, "r.ged", "CD34"},
        {{"--station", "--expect-sha256"}, "", ""},  // no value: nothing expected, no file taken
    };
    for (const Case& c : cases) {
        const dt::StartArguments a = dt::ParseStartArguments(c.args);
        EXPECT_TRUE(a.station);
        EXPECT_EQ(a.file, c.file);
        EXPECT_EQ(a.expectSha256, c.hash);
    }
}

// As a user runs it in a terminal without any display: no abort, exit 0.
TEST(StartArguments, VersionAndHelpNeedNoDisplay) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    for (const char* option : {"--version", "--help"}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(DT_BINARY_DIR "/app/drivetune", {option});
        ASSERT_TRUE(p.waitForFinished(20000)) << option;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(p.exitCode(), 0) << option << p.readAllStandardError().toStdString();
        const std::string out = p.readAllStandardOutput().toStdString();
        if (std::string(option) == "--version") EXPECT_EQ(out, "drivetune " DRIVETUNE_VERSION "\n");
        else EXPECT_EQ(out.rfind("Usage: drivetune [FILE]\n", 0), 0u) << out;
    }
}

}  // namespace
