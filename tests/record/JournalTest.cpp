#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <regex>
#include <set>

#include "Journal.h"
#include "RecordTestSupport.h"

using record::Attempt;
using record::Journal;
using record::Outcome;

namespace {

void Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::vector<std::string> Outcomes(const std::vector<Attempt>& rows) {
    std::vector<std::string> words;
    for (const Attempt& a : rows) words.push_back(record::OutcomeWord(a.outcome));
    return words;
}

TEST(AttemptTest, IdsAreFreshHexAndTimesAreUtcWithMilliseconds) {
    std::set<std::string> ids;
    for (int i = 0; i < 1000; ++i) ids.insert(record::NewAttemptId());
    EXPECT_EQ(ids.size(), 1000u);
    EXPECT_TRUE(std::regex_match(*ids.begin(), std::regex("[0-9a-f]{32}")));
    EXPECT_TRUE(
        std::regex_match(record::UtcNow(), std::regex(R"(20\d\d-[01]\d-[0-3]\dT[0-2]\d:[0-5]\d:[0-5]\d\.\d{3}Z)")));
    EXPECT_EQ(record::UtcText(1796738405123LL), "2026-12-08T14:00:05.123Z");
    EXPECT_EQ(record::UtcText(951782399999LL), "2000-02-28T23:59:59.999Z");
    EXPECT_EQ(record::UtcText(951868800000LL), "2000-03-01T00:00:00.000Z");
    Outcome o = Outcome::Pass;
    EXPECT_TRUE(record::OutcomeFromWord("interrupted", o));
    EXPECT_EQ(o, Outcome::Interrupted);
    EXPECT_FALSE(record::OutcomeFromWord("PASS", o));
    EXPECT_STREQ(record::OutcomeWord(Outcome::Fail), "fail");
}

TEST(JournalTest, OneRowPerAttemptFromStartToEndFilteredNewestFirst) {
    rtest::TempDir dir;
    Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(dir.File("production.sqlite"), error)) << error;
    Attempt a = rtest::Started(1), b = rtest::Started(2, "COM4"), c = rtest::Started(70);
    for (const Attempt* x : {&a, &b, &c}) ASSERT_TRUE(j.Begin(*x, error)) << error;
    EXPECT_EQ(Outcomes(j.List({}, error)), (std::vector<std::string>{"started", "started", "started"}));
    ASSERT_TRUE(j.Complete(rtest::Ended(a, Outcome::Pass), error)) << error;
    ASSERT_TRUE(j.Complete(rtest::Ended(b, Outcome::Fail, "read back differs"), error)) << error;

    const std::vector<Attempt> all = j.List({}, error);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].id, c.id);
    EXPECT_EQ(all[1].cause, "read back differs");
    EXPECT_EQ(all[1].port, "COM4");
    EXPECT_EQ(all[2].ended, "2026-12-01T10:00:01.900Z");
    EXPECT_EQ(all[2].label, "SN1");
    EXPECT_EQ(all[2].writtenSha256, std::string(64, 'b'));
    EXPECT_EQ(j.List({"2026-12-02", "", "", 0}, error).size(), 1u);
    EXPECT_EQ(Outcomes(j.List({"", "fail", "", 0}, error)), (std::vector<std::string>{"fail"}));
    EXPECT_EQ(j.List({"", "", "COM4", 0}, error).at(0).id, b.id);
    EXPECT_EQ(j.List({"", "", "", 1}, error).at(0).id, c.id);

    // A completed record is never rewritten; the same id is never inserted twice.
    EXPECT_FALSE(j.Complete(rtest::Ended(a, Outcome::Fail, "late"), error));
    EXPECT_NE(error.find("has already ended"), std::string::npos) << error;
    EXPECT_FALSE(j.Begin(a, error));
    EXPECT_EQ(j.List({"", "pass", "", 0}, error).size(), 1u);
}

TEST(JournalTest, AnEndWhoseStartWasLostIsStillRecordedOnce) {
    rtest::TempDir dir;
    Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(dir.File("p.sqlite"), error)) << error;
    EXPECT_TRUE(j.Complete(rtest::Ended(rtest::Started(1), Outcome::Error, "no answer"), error)) << error;
    EXPECT_FALSE(j.Complete(rtest::Started(2), error));
    EXPECT_EQ(Outcomes(j.List({}, error)), (std::vector<std::string>{"error"}));
    // A start records a start, whatever else the caller's record holds already.
    ASSERT_TRUE(j.Begin(rtest::Ended(rtest::Started(3), Outcome::Pass), error)) << error;
    const Attempt started = j.List({"", "started", "", 0}, error).at(0);
    EXPECT_EQ(started.ended, "");
    EXPECT_EQ(started.label, "SN3");
}

TEST(JournalTest, EveryRunThatEndedHasItsAttemptsInFlightMarked) {
    rtest::TempDir dir;
    std::string error;
    {
        Journal first, second;  // two runs, each alive while the other opens
        ASSERT_TRUE(first.Open(dir.File("p.sqlite"), error) && first.Begin(rtest::Started(1), error)) << error;
        ASSERT_TRUE(second.Open(dir.File("p.sqlite"), error) && second.Begin(rtest::Started(2), error)) << error;
    }
    Journal j;
    ASSERT_TRUE(j.Open(dir.File("p.sqlite"), error)) << error;
    EXPECT_EQ(Outcomes(j.List({}, error)), (std::vector<std::string>{"interrupted", "interrupted"}));
}

TEST(JournalTest, AKilledRunsStartedRowsAreMarkedInterruptedOnTheNextOpen) {
    rtest::TempDir dir;
    const std::string path = dir.File("production.sqlite");
    const Attempt done = rtest::Started(1), running = rtest::Started(2);
    const pid_t child = fork();
    if (child == 0) {
        Journal j;
        std::string e;
        bool ok = j.Open(path, e) && j.Begin(done, e) && j.Complete(rtest::Ended(done, Outcome::Pass), e) &&
                  j.Begin(running, e);
        if (ok) kill(getpid(), SIGKILL);
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(path, error)) << error;
    const std::vector<Attempt> rows = j.List({}, error);
    EXPECT_EQ(Outcomes(rows), (std::vector<std::string>{"interrupted", "pass"}));
    EXPECT_EQ(rows[0].id, running.id);
    EXPECT_EQ(rows[0].cause, "the program ended before the attempt did");
    EXPECT_FALSE(rows[0].ended.empty());
    // An attempt in flight is left alone by another opening (a listing, a push, a second station)
    // while its run lives, and marked once its run is gone.
    ASSERT_TRUE(j.Begin(rtest::Started(3), error));
    {
        Journal other;
        ASSERT_TRUE(other.Open(path, error)) << error;
        EXPECT_EQ(other.List({"", "started", "", 0}, error).size(), 1u);
    }
    std::vector<std::string> left;
    for (const auto& f : std::filesystem::directory_iterator(dir.File(""))) left.push_back(f.path().filename());
    EXPECT_EQ(left.size(), 4u) << ::testing::PrintToString(
        left);  // the journal, its WAL and shared memory, and the live run's lock
}

TEST(JournalTest, OpeningAndClosingOftenLeavesNoFileOpen) {
    // The background pusher opens the journal for every push, while the station's run has
    // attempts in flight: a leak would end a long shift.
    rtest::TempDir dir;
    Journal station;
    std::string error;
    ASSERT_TRUE(station.Open(dir.File("p.sqlite"), error) && station.Begin(rtest::Started(1), error)) << error;
    rlimit old{};
    getrlimit(RLIMIT_NOFILE, &old);
    rlimit few = old;
    few.rlim_cur = 64;
    setrlimit(RLIMIT_NOFILE, &few);
    int opened = 0;
    for (int i = 0; i < 100; ++i) {
        Journal j;
        if (j.Open(dir.File("p.sqlite"), error)) ++opened;
    }
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_EQ(opened, 100) << error;
    EXPECT_EQ(station.List({"", "started", "", 0}, error).size(), 1u);
}

TEST(JournalTest, UnsentHoldsEndedAttemptsInTheOrderTheyEndedUntilMarkedSent) {
    rtest::TempDir dir;
    Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(dir.File("p.sqlite"), error)) << error;
    const Attempt a = rtest::Started(5), b = rtest::Started(3), c = rtest::Started(4);
    for (const Attempt* x : {&a, &b, &c}) ASSERT_TRUE(j.Begin(*x, error));
    ASSERT_TRUE(j.Complete(rtest::Ended(b, Outcome::Fail, "x"), error));
    ASSERT_TRUE(j.Complete(rtest::Ended(a, Outcome::Pass), error));
    std::vector<Attempt> unsent = j.Unsent(0, error);
    ASSERT_EQ(unsent.size(), 2u);
    EXPECT_EQ(unsent[0].id, b.id);
    EXPECT_EQ(unsent[1].outcome, Outcome::Pass);
    EXPECT_EQ(j.Unsent(1, error).size(), 1u);
    ASSERT_TRUE(j.MarkSent({b.id}, error)) << error;
    unsent = j.Unsent(0, error);
    ASSERT_EQ(unsent.size(), 1u);
    EXPECT_EQ(unsent[0].id, a.id);
    // An attempt that ended once is pushed once, whatever is tried on its record later.
    EXPECT_FALSE(j.Complete(rtest::Ended(b, Outcome::Pass), error));
    EXPECT_EQ(j.Unsent(0, error).size(), 1u);
}

TEST(JournalTest, FilesThatAreNoJournalOrNewerAreRefusedUntouched) {
    rtest::TempDir dir;
    std::string error;
    const std::string text = dir.File("notes.sqlite");
    { std::ofstream(text) << "not a database at all, but long enough to have a header of its own\n"; }
    EXPECT_FALSE(Journal().Open(text, error));
    EXPECT_NE(error.find("not a DriveTune journal"), std::string::npos) << error;
    EXPECT_EQ(rtest::ReadAll(text), "not a database at all, but long enough to have a header of its own\n");

    const std::string other = dir.File("other.sqlite");
    Sql(other, "CREATE TABLE t (x)");
    EXPECT_FALSE(Journal().Open(other, error));
    EXPECT_NE(error.find("another program"), std::string::npos) << error;

    const std::string newer = dir.File("newer.sqlite");
    {
        Journal j;
        ASSERT_TRUE(j.Open(newer, error)) << error;
    }
    Sql(newer, "PRAGMA user_version = 7");
    Journal j;
    EXPECT_FALSE(j.Open(newer, error));
    EXPECT_NE(error.find("newer DriveTune (schema 7; this one knows up to 1)"), std::string::npos) << error;

    EXPECT_TRUE(Journal().Open(dir.File("new/folder/p.sqlite"), error)) << error;
    EXPECT_FALSE(Journal().Open(dir.File("notes.sqlite/p.sqlite"), error));
    EXPECT_NE(error.find("notes.sqlite/p.sqlite: cannot open the journal ("), std::string::npos) << error;
}

TEST(JournalTest, AFullDiskIsReportedAndLosesNothingWritten) {
    rtest::TempDir dir;
    const std::string path = dir.File("p.sqlite");
    Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(path, error)) << error;
    Attempt first = rtest::Started(1);
    ASSERT_TRUE(j.Begin(first, error));
    ASSERT_TRUE(j.Complete(rtest::Ended(first, Outcome::Pass), error));

    // The file may not grow: as a full disk, but for this process alone.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = std::filesystem::file_size(path + "-wal");
    setrlimit(RLIMIT_FSIZE, &tight);
    int failed = 0;
    for (int i = 2; i < 200 && failed == 0; ++i) {
        Attempt a = rtest::Started(i);
        a.roundedJson = std::string(3000, 'x');
        if (!j.Begin(a, error)) ++failed;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(failed, 1);
    EXPECT_NE(error.find("cannot record attempt"), std::string::npos) << error;

    Journal again;
    ASSERT_TRUE(again.Open(path, error)) << error;
    const std::vector<Attempt> rows = again.List({"", "pass", "", 0}, error);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, first.id);
}

// What a station's journal thread hands over at once: one transaction, yet each change keeps the
// outcome it would have had alone, on a full disk too, where a row exists exactly when its change
// was reported written.
TEST(JournalTest, ChangesWrittenTogetherEachKeepTheirOwnOutcome) {
    rtest::TempDir dir;
    const std::string path = dir.File("p.sqlite");
    Journal j;
    std::string error;
    ASSERT_TRUE(j.Open(path, error)) << error;
    Attempt ended = rtest::Started(1), b = rtest::Started(2), c = rtest::Started(3);
    ASSERT_TRUE(j.Begin(ended, error));
    ASSERT_TRUE(j.Complete(rtest::Ended(ended, Outcome::Pass), error));
    auto change = [](bool begin, const Attempt& a) {
        record::JournalChange c;
        c.begin = begin;
        c.attempt = a;
        return c;
    };
    std::vector<record::JournalChange> changes = {change(true, b), change(false, rtest::Ended(ended, Outcome::Fail)),
                                                  change(true, c), change(false, rtest::Ended(b, Outcome::Pass))};
    j.Write(changes);
    EXPECT_TRUE(changes[0].ok && changes[2].ok && changes[3].ok);
    EXPECT_FALSE(changes[1].ok);
    EXPECT_NE(changes[1].error.find("has already ended"), std::string::npos) << changes[1].error;
    EXPECT_EQ(Outcomes(j.List({}, error)), (std::vector<std::string>{"started", "pass", "pass"}));

    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = std::filesystem::file_size(path + "-wal") + 60000;
    setrlimit(RLIMIT_FSIZE, &tight);
    std::vector<record::JournalChange> full;
    for (int i = 10; i < 40; ++i) {
        Attempt a = rtest::Started(i);
        a.roundedJson = std::string(3000, 'x');
        full.push_back(change(true, a));
    }
    j.Write(full);
    setrlimit(RLIMIT_FSIZE, &old);
    Journal again;
    ASSERT_TRUE(again.Open(path, error)) << error;
    std::set<std::string> rows;
    for (const Attempt& a : again.List({}, error)) rows.insert(a.id);
    int written = 0;
    for (const record::JournalChange& change : full) {
        EXPECT_EQ(rows.count(change.attempt.id), change.ok ? 1u : 0u) << change.error;
        written += change.ok;
    }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 30);
}

}  // namespace
