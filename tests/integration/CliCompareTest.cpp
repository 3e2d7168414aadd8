// Comparing a file with what a controller holds, and a download's dry run: both read the
// controller and nothing else.
#include "CliHarness.h"
#include "Json.h"

using namespace clitest;
using dt::cli::Json;

namespace {

// The changed row of a diff's JSON: {set, name, a, b}.
Json OnlyRow(const std::string& out) {
    const Json rows = Json::parse(out).at("rows");
    EXPECT_EQ(rows.size(), 1u) << out;
    return rows.empty() ? Json() : rows[0];
}

class CliCompare : public CliOnline {
protected:
    // Starts a logging simulator of kind k; returns a file of k's kind with k's edit.
    std::string StartWithEditedFile(const Kind& k) {
        std::vector<std::string> simArgs = k.simArgs;
        simArgs.push_back("--verbose");
        StartSim(simArgs);
        return WriteTemp(std::string("edited") + Extension(k), k.edit(ReadFile(Sample(k.sample))));
    }
};

std::string ChangeLine(const Kind& k) {
    return std::string(k.editedRow) + "  " + k.factoryValue + "  ->  " + k.editedValue + "\n";
}

}  // namespace

TEST_F(CliCompare, DiffWithTheControllerReadsOnly) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        const std::string edited = StartWithEditedFile(k);

        CliResult r = Cli({"diff", "--port", sim().Path(), Sample(k.sample)});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.out, "");
        r = Cli({"diff", edited, "--port", sim().Path()});
        EXPECT_EQ(r.rc, 1) << r.err;
        EXPECT_EQ(r.out, ChangeLine(k));
        EXPECT_EQ(r.err, "");
        r = Cli({"diff", "--json", "--port", sim().Path(), edited});
        EXPECT_EQ(r.rc, 1);
        const Json row = OnlyRow(r.out);
        EXPECT_EQ(row.at("a").at("value"), k.factoryValue);
        EXPECT_EQ(row.at("b").at("value"), k.editedValue);

        // A file of the other kind shares no row with the controller.
        const char* other = k.otherExtension == std::string("ged") ? "foc.ged" : "standard-b.foc";
        r = Cli({"diff", "--port", sim().Path(), "--json", Sample(other)});
        EXPECT_EQ(r.rc, 1);
        // The parsed document must outlive the loop over its rows.
        const Json oneSided = Json::parse(r.out);
        for (const Json& row : oneSided.at("rows")) EXPECT_TRUE(row.at("a").is_null() || row.at("b").is_null());

        const std::string log = sim().StopAndLog();
        EXPECT_TRUE(Contains(log, "rx 0x10")) << log;
        EXPECT_FALSE(WroteAnything(log)) << log;
    }
}

TEST_F(CliCompare, DryRunPrintsWhatADownloadWouldChangeAndSendsNothing) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.name);
        const std::string edited = StartWithEditedFile(k);

        CliResult r = Cli({"download", "--port", sim().Path(), edited, "--dry-run"});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(r.out, ChangeLine(k));
        EXPECT_EQ(r.err, "");
        r = Cli({"download", "--dry-run", "--json", "--port", sim().Path(), edited});
        EXPECT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(OnlyRow(r.out).at("b").at("value"), k.editedValue);
        r = Cli({"download", "--dry-run", "--port", sim().Path(), Sample(k.sample)});
        EXPECT_EQ(r.rc, 0);
        EXPECT_EQ(r.out, "") << "nothing would change";

        const std::string log = sim().StopAndLog();
        EXPECT_TRUE(Contains(log, "rx 0x10")) << log;
        EXPECT_FALSE(WroteAnything(log)) << log;
    }
}

TEST_F(CliCompare, DryRunRefusesWhatTheDownloadWouldRefuse) {
    StartSim({"--verbose"});
    const std::string fast = WriteTemp("fast.foc", WithWord(ReadFile(Sample("standard-b.foc")), 203, 60000));
    CliResult r = Cli({"download", "--dry-run", "--port", sim().Path(), fast});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, "Input data is not legitimate\n\nRated motor speed (rpm): 1.0 ≤ x ≤ 2800.0\n");

    r = Cli({"download", "--dry-run", "--port", sim().Path(), Sample("foc.ged")});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err.rfind("File does not match with the controller\n", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(WroteAnything(sim().StopAndLog()));
}
