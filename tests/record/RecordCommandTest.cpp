// drivetune-cli record as a user runs it: the journal listed and exported, the plant database
// set up, pushed to and reported on.
#include <sstream>

#include "CliMain.h"
#include "Journal.h"
#include "Json.h"
#include "PlantTestSupport.h"
#include "RecordTestSupport.h"
#include "ScopedXdgHome.h"

using record::Attempt;
using record::Outcome;

namespace {

struct Ran {
    int rc;
    std::string out, err;
};

Ran Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int rc = dt::cli::Run(args, out, err, "/nonexistent/text.ini");
    return {rc, out.str(), err.str()};
}

// Four units on two days: SN1 fails then passes, SN2 passes, SN3 errs, one attempt still runs.
void FillJournal(const std::string& path) {
    record::Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(path, error)) << error;
    auto add = [&](int n, const std::string& label, Outcome o, const std::string& cause, const std::string& recipe) {
        Attempt a = rtest::Started(n, n % 2 ? "COM3" : "/dev/pts/4");
        a.label = label;
        a.recipeFile = recipe;
        ASSERT_TRUE(j.Begin(a, error)) << error;
        if (o != Outcome::Started) {
            ASSERT_TRUE(j.Complete(rtest::Ended(a, o, cause), error)) << error;
        }
    };
    add(1, "SN1", Outcome::Fail, "read back differs", "fleet.ged");
    add(2, "SN1", Outcome::Pass, "", "fleet.ged");
    add(3, "SN2", Outcome::Pass, "", "fleet.ged");
    add(61, "SN3", Outcome::Error, "no answer", "city, \"B\".foc");
    add(62, "SN4", Outcome::Started, "", "fleet.ged");
}

class RecordCommandTest : public ::testing::Test {
protected:
    void SetUp() override { FillJournal(journal_); }
    rtest::TempDir dir_;
    dttest::ScopedXdgHome xdg_{dir_.File("")};
    const std::string journal_ = dir_.File("data/DriveTune/production.sqlite");
};

TEST_F(RecordCommandTest, TheJournalIsListedNewestFirstFilteredAndExported) {
    Ran r = Cli({"record"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out,
              "2026-12-02T10:00:02.000Z  started  /dev/pts/4  SN4  fleet.ged      li  line-1  \n"
              "2026-12-02T10:00:01.000Z  error    COM3        SN3  city, \"B\".foc  li  line-1  no answer\n"
              "2026-12-01T10:00:03.000Z  pass     COM3        SN2  fleet.ged      li  line-1  \n"
              "2026-12-01T10:00:02.000Z  pass     /dev/pts/4  SN1  fleet.ged      li  line-1  \n"
              "2026-12-01T10:00:01.000Z  fail     COM3        SN1  fleet.ged      li  line-1  read back differs\n");
    r = Cli({"record", "--since", "2026-12-01T10:00:02", "--port", "COM3", "--outcome", "pass"});
    EXPECT_EQ(r.out, "2026-12-01T10:00:03.000Z  pass  COM3  SN2  fleet.ged  li  line-1  \n");

    r = Cli({"record", "--csv", "--outcome", "error"});
    EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")),
              "attempt,started,ended,outcome,cause,port,label,recipe,recipeSha256,writtenSha256,readBackSha256,"
              "identity,rounded,operator,station");
    EXPECT_NE(r.out.find(",error,no answer,COM3,SN3,\"city, \"\"B\"\".foc\","), std::string::npos) << r.out;

    r = Cli({"record", "--json", "--since", "2026-12-02"});
    const dt::cli::Json doc = dt::cli::Json::parse(r.out);
    ASSERT_EQ(doc.at("attempts").size(), 2u);
    EXPECT_EQ(doc["attempts"][0]["ended"], nullptr);
    EXPECT_EQ(doc["attempts"][1]["cause"], "no answer");
    EXPECT_EQ(doc["attempts"][1]["rounded"], dt::cli::Json::array());
}

TEST_F(RecordCommandTest, MisusedOptionsAndFilesThatAreNoJournalAreRefused) {
    EXPECT_EQ(Cli({"record", "report", "--port", "COM3"}).err,
              "drivetune-cli: record report does not take --port\nTry 'drivetune-cli record --help' for more "
              "information.\n");
    EXPECT_EQ(Cli({"record", "--outcome", "ok"}).rc, 2);
    EXPECT_EQ(Cli({"record", "report", "--by", "week"}).rc, 2);
    EXPECT_EQ(Cli({"record", "--to", "host=db"}).err.substr(0, 45), "drivetune-cli: record does not take --to\nTry ");
    EXPECT_EQ(Cli({"record", "--json", "--csv"}).rc, 2);
    EXPECT_EQ(Cli({"record", "server-init"}).rc, 2);
    const std::string notes = dir_.File("notes.sqlite");
    { std::ofstream(notes) << "SQLite format 2\nnot a journal but long enough to have a header of its own\n"; }
    Ran r = Cli({"record", "report", "--from", notes});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "drivetune-cli: " + notes + ": not a DriveTune journal (not a database)\n");
    r = Cli({"record", "report", "--from", dir_.File("missing.sqlite")});
    EXPECT_EQ(r.err, "drivetune-cli: " + dir_.File("missing.sqlite") + ": no such journal\n");
    std::filesystem::remove(journal_);
    { std::ofstream(journal_) << "SQLite format 2\nnot a journal but long enough to have a header of its own\n"; }
    r = Cli({"record"});
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("not a DriveTune journal"), std::string::npos) << r.err;
}

TEST_F(RecordCommandTest, AReportCountsAttemptsPassesFailuresFirstPassYieldAndCauses) {
    Ran r = Cli({"record", "report", "--from", journal_, "--by", "day"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out,
              "group                attempts  passes  failures  interrupted  first-pass yield\n"
              "2026-12-01           3         2       1         0            50.0 %\n"
              "  read back differs  1\n"
              "2026-12-02           1         0       1         0            0.0 %\n"
              "  no answer          1\n");
    r = Cli({"record", "report", "--json", "--since", "2026-12-01 10:00:02Z"});
    EXPECT_EQ(dt::cli::Json::parse(r.out).at("since"), "2026-12-01T10:00:02");
    const dt::cli::Json all = dt::cli::Json::parse(r.out).at("groups").at(0);
    EXPECT_EQ(all.at("group"), "all");
    EXPECT_EQ(all.at("attempts"), 3);
    EXPECT_EQ(all.at("firstPassYield"), 2.0 / 3);  // SN1's first attempt since then is its pass
    r = Cli({"record", "report", "--csv", "--by", "recipe"});
    EXPECT_EQ(r.out,
              "group,attempts,passes,failures,interrupted,firstPassYield,causes\r\n"
              "\"city, \"\"B\"\".foc\",1,0,1,0,0.000000,no answer (1)\r\n"
              "fleet.ged,3,2,1,0,0.500000,read back differs (1)\r\n");
}

class RecordPlantCommandTest : public rtest::PlantDatabase {
protected:
    rtest::TempDir dir_;
    dttest::ScopedXdgHome xdg_{dir_.File("")};
};

TEST_F(RecordPlantCommandTest, APlantIsSetUpPushedToAndReportedOn) {
    FillJournal(dir_.File("data/DriveTune/production.sqlite"));
    // The attempt left running by a run that is over goes out as interrupted.
    Ran r = Cli({"record", "server-init", "--to", admin_});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err,
              "drivetune-cli: the plant database now has schema 1 (was empty); roles drivetune_station and "
              "drivetune_viewer ready\n");
    // Run again: nothing to do, and none of the server's notices on the way.
    EXPECT_EQ(Cli({"record", "server-init", "--to", admin_}).err,
              "drivetune-cli: the plant database already has schema 1; roles checked\n");

    r = Cli({"record", "push", "--to", "host=127.0.0.1 port=1 connect_timeout=2"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("drivetune-cli: cannot reach the plant database: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\ndrivetune-cli: 5 attempts wait in the journal for the next push\n"), std::string::npos)
        << r.err;

    // One setting per station.
    std::filesystem::create_directories(dir_.File("config/DriveTune"));
    std::ofstream(dir_.File("config/DriveTune/DriveTune.ini"))
        << "[Tavo GUI]\nRecordServer=" << As("drivetune_station") << "\n";
    r = Cli({"record", "push"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "drivetune-cli: 5 attempts pushed to the plant database\n");
    EXPECT_EQ(Cli({"record", "push"}).err, "drivetune-cli: 0 attempts pushed to the plant database\n");

    const Ran local = Cli({"record", "report", "--by", "day"});
    r = Cli({"record", "report", "--from", As("drivetune_viewer"), "--by", "day"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, local.out);
    r = Cli({"record", "report", "--from", As("drivetune_viewer"), "--since", "2026-12-02", "--json"});
    EXPECT_EQ(dt::cli::Json::parse(r.out).at("groups").at(0).at("interrupted"), 1);
}

}  // namespace
