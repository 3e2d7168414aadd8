#include <sqlite3.h>

#include <fstream>

#include "Journal.h"
#include "PlantRecord.h"
#include "PlantTestSupport.h"
#include "RecordTestSupport.h"

using record::Attempt;
using record::Journal;
using record::Outcome;
using record::PlantRecord;
using record::PushResult;

namespace {

class PlantRecordTest : public rtest::PlantDatabase {
protected:
    void SetUp() override {
        PlantDatabase::SetUp();
        if (IsSkipped()) return;
        PlantRecord plant;
        std::string note, error;
        ASSERT_TRUE(plant.Connect(admin_, error) && plant.Init(note, error)) << error;
        ASSERT_TRUE(journal_.Open(dir_.File("production.sqlite"), error)) << error;
    }
    // n completed attempts and one still running.
    void Fill(int n) {
        std::string error;
        for (int i = 0; i < n; ++i) {
            const Attempt a = rtest::Started(i);
            ASSERT_TRUE(journal_.Begin(a, error) && journal_.Complete(rtest::Ended(a, Outcome::Pass), error)) << error;
        }
        running_ = rtest::Started(n);
        ASSERT_TRUE(journal_.Begin(running_, error)) << error;
    }
    PushResult Push(const std::string& conninfo, bool expectOk = true) {
        PushResult r;
        std::string error;
        EXPECT_EQ(record::PushJournal(journal_, conninfo, r, error, 2), expectOk) << error;
        lastError_ = error;
        return r;
    }
    std::string Rows() { return rtest::Query(admin_, "SELECT count(*) FROM attempts"); }

    rtest::TempDir dir_;
    Journal journal_;
    Attempt running_;
    std::string lastError_;
};

TEST_F(PlantRecordTest, APushRepeatedAfterACutOffAddsNoDuplicateAndOnlyCompletedAttemptsGo) {
    Fill(5);
    PushResult r = Push(As("drivetune_station"));
    EXPECT_EQ(r.sent, 5);
    EXPECT_EQ(r.added, 5);
    EXPECT_EQ(Rows(), "5");
    // Cut off after the server's commit, before the journal heard of it: everything goes again.
    sqlite3* db = nullptr;
    sqlite3_open(dir_.File("production.sqlite").c_str(), &db);
    sqlite3_exec(db, "UPDATE attempts SET sent = 0", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    r = Push(As("drivetune_station"));
    EXPECT_EQ(r.sent, 5);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(Rows(), "5");
    EXPECT_EQ(Push(As("drivetune_station")).sent, 0);

    std::string error;
    ASSERT_TRUE(journal_.Complete(rtest::Ended(running_, Outcome::Fail, "read back differs"), error));
    EXPECT_EQ(Push(As("drivetune_station")).added, 1);
    EXPECT_EQ(rtest::Query(admin_, "SELECT cause || ' ' || port || ' ' || label FROM attempts WHERE outcome = 'fail'"),
              "read back differs COM3 SN5");
    EXPECT_EQ(rtest::Query(admin_, "SELECT started = '2026-12-01T10:00:05Z' FROM attempts WHERE label = 'SN5'"), "t");
}

TEST_F(PlantRecordTest, WithTheServerDownAttemptsStayUnsentUntilTheNextPush) {
    Fill(3);
    Push("host=127.0.0.1 port=1 connect_timeout=2", false);
    EXPECT_NE(lastError_.find("cannot reach the plant database: "), std::string::npos) << lastError_;
    std::string error;
    EXPECT_EQ(journal_.Unsent(0, error).size(), 3u);
    EXPECT_EQ(Push(As("drivetune_station")).sent, 3);
    EXPECT_EQ(journal_.Unsent(0, error).size(), 0u);
}

TEST_F(PlantRecordTest, TheStationMayOnlyInsertAndTheViewerOnlyRead) {
    Fill(1);
    Push(As("drivetune_station"));
    for (const char* sql : {"UPDATE attempts SET outcome = 'pass'", "DELETE FROM attempts", "TRUNCATE attempts",
                            "SELECT count(*) FROM attempts", "UPDATE drivetune_schema SET version = 9"})
        EXPECT_NE(rtest::Query(As("drivetune_station"), sql).find("permission denied"), std::string::npos) << sql;
    EXPECT_EQ(rtest::Query(As("drivetune_viewer"), "SELECT count(*) FROM attempts"), "1");
    EXPECT_NE(rtest::Query(As("drivetune_viewer"), "DELETE FROM attempts").find("permission denied"),
              std::string::npos);
    EXPECT_EQ(Rows(), "1");
}

TEST_F(PlantRecordTest, InitUpgradesOnceAndANewerSchemaIsRefused) {
    PlantRecord plant;
    std::string note, error;
    ASSERT_TRUE(plant.Connect(admin_, error)) << error;
    ASSERT_TRUE(plant.Init(note, error)) << error;
    EXPECT_EQ(note, "the plant database already has schema 1; roles checked");
    rtest::Query(admin_, "UPDATE drivetune_schema SET version = 2");
    EXPECT_FALSE(plant.Init(note, error));
    EXPECT_EQ(error, "the plant database has schema 2, newer than this DriveTune knows (1); nothing was changed");
    Fill(1);
    Push(As("drivetune_station"), false);
    EXPECT_EQ(lastError_, "the plant database has schema 2, newer than this DriveTune knows (1); update DriveTune");
    rtest::Query(admin_, "DROP TABLE drivetune_schema");
    Push(As("drivetune_station"), false);
    EXPECT_EQ(lastError_, "the plant database has no DriveTune schema yet; run drivetune-cli record server-init");
}

TEST_F(PlantRecordTest, BadConnectionStringsAndCredentialsAreRefusedPlainly) {
    PlantRecord plant;
    std::string error;
    EXPECT_FALSE(plant.Connect("host=127.0.0.1 port", error));
    EXPECT_NE(error.find("the connection string is not valid: "), std::string::npos) << error;
    EXPECT_FALSE(plant.Connect(admin_ + " password=secret", error));
    EXPECT_NE(error.find("carries a password"), std::string::npos) << error;
    EXPECT_FALSE(plant.Connect("host=no-such-host.invalid connect_timeout=2", error));
    EXPECT_NE(error.find("cannot reach the plant database: "), std::string::npos) << error;

    // A password comes from libpq's password file; a wrong one is named as such.
    rtest::Query(admin_, "CREATE ROLE drivetune_test_password LOGIN PASSWORD 'right'");
    const std::string passfile = dir_.File("pgpass");
    std::ofstream(passfile) << "*:*:*:drivetune_test_password:wrong\n";
    chmod(passfile.c_str(), 0600);
    const std::string withFile = As("drivetune_test_password") + " passfile=" + passfile;
    EXPECT_FALSE(plant.Connect(withFile, error));
    EXPECT_NE(error.find("password authentication failed for user \"drivetune_test_password\""), std::string::npos)
        << error;
    EXPECT_EQ(error.find("wrong"), std::string::npos) << error;
    std::ofstream(passfile) << "*:*:*:drivetune_test_password:right\n";
    EXPECT_TRUE(plant.Connect(withFile, error)) << error;
    rtest::Query(admin_, "DROP OWNED BY drivetune_test_password; DROP ROLE drivetune_test_password");
}

TEST_F(PlantRecordTest, TheBackgroundPusherSendsAfterANudgeAndRetriesAfterAFailure) {
    Fill(2);
    {
        record::BackgroundPusher down(dir_.File("production.sqlite"), "host=127.0.0.1 port=1");
        ASSERT_TRUE(down.WaitIdle(std::chrono::seconds(20)));
        EXPECT_NE(down.Current().lastError.find("cannot reach"), std::string::npos);
    }
    record::BackgroundPusher pusher(dir_.File("production.sqlite"), As("drivetune_station"));
    ASSERT_TRUE(pusher.WaitIdle(std::chrono::seconds(20)));
    EXPECT_EQ(pusher.Current().pushed, 2);
    std::string error;
    ASSERT_TRUE(journal_.Complete(rtest::Ended(running_, Outcome::Pass), error));
    pusher.Nudge();
    ASSERT_TRUE(pusher.WaitIdle(std::chrono::seconds(20)));
    EXPECT_EQ(pusher.Current().pushed, 3);
    EXPECT_EQ(pusher.Current().lastError, "");
    EXPECT_EQ(Rows(), "3");
}

}  // namespace
