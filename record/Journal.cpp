#include "Journal.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

#include "AttemptColumns.h"
#include "Backups.h"
#include "Sqlite.h"

namespace record {

namespace {

// Marks the file as ours, so another program's database is never taken for a journal.
constexpr int kApplicationId = 0x44544a31;  // "DTJ1"

// Schema steps: kSchemaSteps[v] takes a journal from version v to v + 1. The file's version is
// PRAGMA user_version; a journal newer than the last step is refused, never written.
const char* const kSchemaSteps[] = {
    "CREATE TABLE attempts ("
    " id TEXT PRIMARY KEY NOT NULL,"
    " run TEXT NOT NULL,"
    " recipe_file TEXT NOT NULL, recipe_sha256 TEXT NOT NULL,"
    " written_sha256 TEXT NOT NULL, read_back_sha256 TEXT NOT NULL,"
    " identity TEXT NOT NULL,"
    " outcome TEXT NOT NULL CHECK (outcome IN ('started','pass','fail','error','interrupted')),"
    " cause TEXT NOT NULL, rounded_json TEXT NOT NULL,"
    " label TEXT NOT NULL, operator TEXT NOT NULL, station TEXT NOT NULL, port TEXT NOT NULL,"
    " started TEXT NOT NULL, ended TEXT NOT NULL);"
    "CREATE INDEX attempts_started ON attempts (started);"
    // Ended attempts the plant's database has not acknowledged, in the order they ended: narrow,
    // so marking a batch sent rewrites little. Filled by the triggers, in the same statement.
    "CREATE TABLE unsent (seq INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE);"
    "CREATE TRIGGER attempts_ended_on_insert AFTER INSERT ON attempts WHEN NEW.outcome <> 'started'"
    " BEGIN INSERT OR IGNORE INTO unsent (id) VALUES (NEW.id); END;"
    "CREATE TRIGGER attempts_ended AFTER UPDATE OF outcome ON attempts"
    " WHEN OLD.outcome = 'started' AND NEW.outcome <> 'started'"
    " BEGIN INSERT OR IGNORE INTO unsent (id) VALUES (NEW.id); END;",
};
constexpr int kSchemaVersion = sizeof kSchemaSteps / sizeof kSchemaSteps[0];

constexpr int kBusyTimeoutMs = 10000;  // another process (a push, a listing) holds the file briefly

const char* const kColumns =
    "id, recipe_file, recipe_sha256, written_sha256, read_back_sha256, identity, outcome, cause, rounded_json, "
    "label, operator, station, port, started, ended";

Attempt ReadAttempt(const Statement& s) {
    Attempt a;
    for (int col = 0; col < kAttemptColumns; ++col) SetColumn(a, col, s.Text(col));
    return a;
}

// Binds the attempt's columns in kColumns' order, from parameter `first` on.
void BindAttempt(Statement& s, const Attempt& a, int first) {
    for (int col = 0; col < kAttemptColumns; ++col) s.Bind(first + col, ColumnText(a, col));
}

}  // namespace

Journal::~Journal() {
    sqlite3_close_v2(db_);
    if (runLock_) {
        sqlite3_close_v2(runLock_);
        std::remove(RunLockPath(run_).c_str());
    }
}

// Each opening holds an exclusive SQLite lock on a small file of its own while it lives; the
// operating system drops it when the process dies. A run whose lock can be taken is over, so
// another station or a `record` command in a second process never marks a live run's attempts.
std::string Journal::RunLockPath(const std::string& run) const { return path_ + "-run-" + run; }

bool Journal::TakeRunLock(std::string& error) {
    if (sqlite3_open_v2(RunLockPath(run_).c_str(), &runLock_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
            SQLITE_OK &&
        sqlite3_exec(runLock_, "PRAGMA journal_mode=OFF; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    error = path_ + ": cannot hold the journal's run lock (" + sqlite3_errmsg(runLock_) + ")";
    return false;
}

// False when the run's lock is held: by a live process, or by this one.
bool Journal::RunIsOver(const std::string& run) const {
    sqlite3* lock = nullptr;
    const std::string path = RunLockPath(run);
    bool over = true;
    if (sqlite3_open_v2(path.c_str(), &lock, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        over = sqlite3_exec(lock, "PRAGMA journal_mode=OFF; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(lock);
    if (over) std::remove(path.c_str());
    return over;
}

std::string Journal::DefaultPath() {
    std::string dir = dt::DefaultBackupDir();
    dir.erase(dir.find_last_of("/\\"));
    return dir + "/production.sqlite";
}

bool Journal::Fail(const std::string& what, std::string& error) const {
    if (db_ && sqlite3_errcode(db_) == SQLITE_NOTADB) error = path_ + ": not a DriveTune journal (not a database)";
    else error = path_ + ": " + what + " (" + (db_ ? sqlite3_errmsg(db_) : "out of memory") + ")";
    return false;
}

bool Journal::Exec(const char* sql, std::string& error, const char* what) const {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    return Fail(what, error);
}

int Journal::PragmaInt(const char* sql) const {
    Statement s(db_, sql);
    return s.Step() == SQLITE_ROW ? static_cast<int>(s.Int(0)) : -1;
}

bool Journal::Open(const std::string& path, std::string& error) {
    path_ = path;
    run_ = NewAttemptId();
    // The data folder may not exist yet on a new station; SQLite's message says why when it cannot be made.
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return Fail("cannot open the journal", error);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (!Exec("BEGIN IMMEDIATE", error, "cannot read the journal")) return false;
    const bool ok = Upgrade(error, false);
    if (!ok || !Exec("COMMIT", error, "cannot write the journal")) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    Statement mode(db_, "PRAGMA journal_mode=WAL");
    if (mode.Step() != SQLITE_ROW || mode.Text(0) != "wal") return Fail("cannot switch the journal to WAL", error);
    return Exec("PRAGMA synchronous=FULL", error, "cannot set the journal's durability") && TakeRunLock(error) &&
           MarkInterrupted(error);
}

bool Journal::OpenForReading(const std::string& path, std::string& error) {
    path_ = path;
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return Fail("cannot open the journal", error);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    return Upgrade(error, true);
}

// Inside Open's transaction: a new file gets the schema; an older one the steps it lacks. Read
// only, the file must be a journal of this version already.
bool Journal::Upgrade(std::string& error, bool readOnly) {
    const int app = PragmaInt("PRAGMA application_id");
    const int version = PragmaInt("PRAGMA user_version");
    if (app < 0 || version < 0) return Fail("cannot read the journal", error);
    if (app != kApplicationId) {
        const bool empty = PragmaInt("SELECT count(*) FROM sqlite_schema") == 0;
        if (!empty || readOnly) {
            error = path_ + ": not a DriveTune journal (" +
                    (empty ? "an empty database" : "a database of another program") + ")";
            return false;
        }
        if (!Exec("PRAGMA application_id=" + std::to_string(kApplicationId), error)) return false;
    }
    if (version > kSchemaVersion) {
        error = path_ + ": the journal was written by a newer DriveTune (schema " + std::to_string(version) +
                "; this one knows up to " + std::to_string(kSchemaVersion) + "); nothing was changed";
        return false;
    }
    if (readOnly) return true;
    for (int v = version; v < kSchemaVersion; ++v)
        if (!Exec(kSchemaSteps[v], error, "cannot create the journal's tables")) return false;
    return Exec("PRAGMA user_version=" + std::to_string(kSchemaVersion), error);
}

bool Journal::Exec(const std::string& sql, std::string& error) const {
    return Exec(sql.c_str(), error, "cannot write the journal");
}

bool Journal::MarkInterrupted(std::string& error) {
    std::vector<std::string> runs;
    Statement find(db_, "SELECT DISTINCT run FROM attempts WHERE outcome = 'started' AND run <> ?1");
    find.Bind(1, run_);
    while (find.Step() == SQLITE_ROW) runs.push_back(find.Text(0));
    Statement mark(db_,
                   "UPDATE attempts SET outcome = 'interrupted', ended = ?1,"
                   " cause = CASE WHEN cause = '' THEN 'the program ended before the attempt did' ELSE cause END"
                   " WHERE outcome = 'started' AND run = ?2");
    for (const std::string& run : runs) {
        if (!RunIsOver(run)) continue;
        mark.Bind(1, UtcNow()).Bind(2, run);
        if (mark.Step() != SQLITE_DONE) return Fail("cannot mark unfinished attempts interrupted", error);
        mark.Reset();
    }
    return true;
}

bool Journal::Begin(const Attempt& a, std::string& error) {
    Statement s(db_, (std::string("INSERT INTO attempts (") + kColumns +
                      ", run) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16)")
                         .c_str());
    BindAttempt(s, a, 1);
    s.Bind(1 + kOutcomeColumn, std::string("started")).Bind(1 + kEndedColumn, std::string()).Bind(16, run_);
    return s.Step() == SQLITE_DONE || Fail("cannot record attempt " + a.id, error);
}

// An upsert: an attempt whose start could not be written (a full disk since freed) is still
// recorded once; a completed row is never rewritten.
bool Journal::Complete(const Attempt& a, std::string& error) {
    Statement s(db_, (std::string("INSERT INTO attempts (") + kColumns +
                      ", run) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16)"
                      " ON CONFLICT (id) DO UPDATE SET written_sha256 = excluded.written_sha256,"
                      " read_back_sha256 = excluded.read_back_sha256, identity = excluded.identity,"
                      " outcome = excluded.outcome, cause = excluded.cause, rounded_json = excluded.rounded_json,"
                      " ended = excluded.ended WHERE attempts.outcome = 'started'")
                         .c_str());
    if (a.outcome == Outcome::Started) {
        error = path_ + ": attempt " + a.id + " cannot be completed as started";
        return false;
    }
    BindAttempt(s, a, 1);
    s.Bind(16, run_);
    if (s.Step() != SQLITE_DONE) return Fail("cannot record the end of attempt " + a.id, error);
    if (sqlite3_changes(db_) == 1) return true;
    error = path_ + ": attempt " + a.id + " has already ended; its record was left as it is";
    return false;
}

void Journal::Write(std::vector<JournalChange>& changes) {
    auto one = [this](JournalChange& c) {
        c.error.clear();
        return c.ok = c.begin ? Begin(c.attempt, c.error) : Complete(c.attempt, c.error);
    };
    std::string error;
    bool together = changes.size() > 1 && Exec("BEGIN IMMEDIATE", error, "cannot write the journal");
    if (together) {
        // SQLite may roll a transaction back by itself (a full disk): nothing after that goes in
        // as if it were still part of one.
        for (JournalChange& c : changes)
            if (!(together = one(c) && !sqlite3_get_autocommit(db_))) break;
        if (together && Exec("COMMIT", error, "cannot write the journal")) return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    for (JournalChange& c : changes) one(c);
}

std::vector<Attempt> Journal::List(const JournalFilter& f, std::string& error) const {
    std::string sql = std::string("SELECT ") + kColumns +
                      " FROM attempts WHERE (?1 = '' OR started >= ?1) AND (?2 = '' OR outcome = ?2)"
                      " AND (?3 = '' OR port = ?3) ORDER BY started DESC, rowid DESC";
    if (f.limit > 0) sql += " LIMIT " + std::to_string(f.limit);
    Statement s(db_, sql.c_str());
    s.Bind(1, f.since).Bind(2, f.outcome).Bind(3, f.port);
    return Read(s, error);
}

std::vector<Attempt> Journal::Unsent(int limit, std::string& error) const {
    Statement s(
        db_, (std::string("SELECT ") + kColumns + " FROM unsent JOIN attempts USING (id) ORDER BY unsent.seq LIMIT ?1")
                 .c_str());
    s.Bind(1, static_cast<long long>(limit > 0 ? limit : -1));
    return Read(s, error);
}

std::vector<Attempt> Journal::Read(Statement& s, std::string& error) const {
    std::vector<Attempt> rows;
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) rows.push_back(ReadAttempt(s));
    if (rc != SQLITE_DONE) {
        Fail("cannot read the journal", error);
        rows.clear();
    }
    return rows;
}

bool Journal::MarkSent(const std::vector<std::string>& ids, std::string& error) {
    if (!Exec("BEGIN IMMEDIATE", error, "cannot write the journal")) return false;
    Statement s(db_, "DELETE FROM unsent WHERE id = ?1");
    for (const std::string& id : ids) {
        s.Bind(1, id);
        if (s.Step() != SQLITE_DONE) {
            Fail("cannot mark attempts sent", error);
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
        s.Reset();
    }
    return Exec("COMMIT", error, "cannot mark attempts sent");
}

}  // namespace record
