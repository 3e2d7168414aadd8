// The command line that edits a controller: --set on its own set, a backup put back in one step,
// and a set of the other function variant refused before anything is sent.
#include <cstdlib>

#include "Backups.h"
#include "CliHarness.h"
#include "Json.h"

namespace clitest {
namespace {

using dt::cli::Json;

// The shown value of a row of an upload's JSON, by id.
std::string ValueOfId(const std::string& sheetText, const std::string& id) {
    const Json sheet = Json::parse(sheetText);
    for (const Json& row : sheet.at("rows"))
        if (row.at("id") == id) return row.at("value");
    return "(none)";
}

TEST_F(CliOnline, DownloadSetChangesTheControllersOwnSetAfterTheCheck) {
    StartSim({"--verbose"});
    CliResult r = Cli({"download", "--port", sim().Path(), "--set", "ParameterSettings.46=500", "--dry-run"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "Acceleration (rpm/s)  300  ->  500\n");
    r = Cli({"download", "--port", sim().Path(), "--set", "ParameterSettings.46=5000"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(Contains(r.out, "Acceleration (rpm/s): 50.0 ≤ x ≤ 800.0")) << r.out;
    EXPECT_EQ(Cli({"download", "--port", sim().Path(), "--set", "Nope=1"}).rc, 2);
    EXPECT_FALSE(WroteAnything(sim().StopAndLog()));

    StartSim({});
    r = Cli({"download", "--port", sim().Path(), "--set", "ParameterSettings.46=500", "--set",
             "Deceleration (rpm/s)=400"});
    ASSERT_EQ(r.rc, 0) << r.err;
    r = Cli({"upload", "--port", sim().Path(), "--json"});
    EXPECT_EQ(ValueOfId(r.out, "ParameterSettings.46"), "500");
    EXPECT_EQ(ValueOfId(r.out, "ParameterSettings.47"), "400");
    // With a file: the file's set, then the rows set.
    r = Cli({"download", "--port", sim().Path(), Sample("standard-b.foc"), "--set", "ParameterSettings.47=450"});
    ASSERT_EQ(r.rc, 0) << r.err;
    r = Cli({"upload", "--port", sim().Path(), "--json"});
    EXPECT_EQ(ValueOfId(r.out, "ParameterSettings.46"), "300");
    EXPECT_EQ(ValueOfId(r.out, "ParameterSettings.47"), "450");
}

TEST_F(CliOnline, BackupsRestorePutsABackBackInOneStep) {
    StartSim({});
    ASSERT_EQ(Cli({"upload", "--port", sim().Path()}).rc, 0);  // backup 1: the sample's set
    ASSERT_EQ(Cli({"download", "--port", sim().Path(), "--set", "ParameterSettings.46=500"}).rc, 0);
    const auto backups = dt::ListBackups(dt::DefaultBackupDir());
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(Json::parse(Cli({"backups", "--json"}).out).at("backups")[1].at("number"), 2);

    CliResult r = Cli({"backups", "restore", "2", "--port", sim().Path()});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "restoring " + backups[1].path)) << r.err;
    EXPECT_EQ(ValueOfId(Cli({"upload", "--port", sim().Path(), "--json"}).out, "ParameterSettings.46"), "300");
    // Without --port it finds the controller as every command that talks to one does.
    setenv("DRIVETUNE_PORT", sim().Path().c_str(), 1);
    r = Cli({"backups", "restore", backups[0].path});
    unsetenv("DRIVETUNE_PORT");
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "(from DRIVETUNE_PORT)")) << r.err;
    EXPECT_EQ(ValueOfId(Cli({"upload", "--port", sim().Path(), "--json"}).out, "ParameterSettings.46"), "500");

    for (const std::vector<std::string>& args : {std::vector<std::string>{"backups", "restore", "9", "--port", sim().Path()},
                                                 std::vector<std::string>{"backups", "restore", "0", "--port", sim().Path()},
                                                 std::vector<std::string>{"backups", "again", "1"},
                                                 std::vector<std::string>{"backups", "restore"},
                                                 std::vector<std::string>{"backups", "restore", "1", "2", "--port", sim().Path()}}) {
        r = Cli(args);
        EXPECT_EQ(r.rc, 2) << args[2];
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliOnline, ASetOfTheOtherFunctionVariantIsRefusedAndNothingIsSent) {
    StartSim({"--verbose"});
    // The controller's own identity with a ModelWord of variant A (customer 1, version 210).
    const std::string file = WriteTemp("variant-a.foc", WithWord(ReadFile(Sample("standard-b.foc")), 15, 0x04D2));
    for (bool dryRun : {false, true}) {
        std::vector<std::string> args = {"download", "--port", sim().Path(), file};
        if (dryRun) args.push_back("--dry-run");
        const CliResult r = Cli(args);
        EXPECT_EQ(r.rc, 1);
        EXPECT_TRUE(Contains(r.err, "File does not match with the controller\nThe file is of function variant A; the "
                                    "controller is of variant B"))
            << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(WroteAnything(sim().StopAndLog()));
}

TEST_F(CliOnline, FactoryResetIsTheCommandAndRestoreItsOtherName) {
    StartSim({"--verbose"});
    EXPECT_EQ(Cli({"factory-reset", "--port", sim().Path(), "--json"}).rc, 0);
    EXPECT_TRUE(Contains(sim().StopAndLog(), "rx 0x81"));
    CliResult help = Cli({"restore", "--help"});
    EXPECT_TRUE(Contains(help.out, "Usage: drivetune-cli factory-reset")) << help.out;
}

}  // namespace
}  // namespace clitest
