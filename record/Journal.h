// The station's own production record: one SQLite file, one row per attempt, written by one
// station. A row is inserted when an attempt starts and completed when it ends, each in its own
// transaction, so a crash leaves at most "started" rows, which the next Open marks interrupted.
#pragma once

#include "Attempt.h"

#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace record {

class Statement;

struct JournalFilter {
    std::string since;    // "" or a date/time prefix compared with `started` (2026-12-08)
    std::string outcome;  // "" or an outcome word
    std::string port;     // "" or a port name
    int limit = 0;        // 0: all; otherwise the newest `limit`
};

// A start or an end to record, and once written whether it was, or why not.
struct JournalChange {
    bool begin = true;  // Begin, else Complete
    Attempt attempt;
    bool ok = false;
    std::string error;
};

class Journal {
public:
    // Opens or creates the file (WAL), creates or upgrades its schema, and marks rows left
    // "started" by a killed run as interrupted. False with a readable reason on failure
    // (not a journal, a newer schema, a disk that refuses).
    bool Open(const std::string& path, std::string& error);
    // For listings and reports of a journal that may belong to a running station or another
    // machine: changes nothing in the file, and refuses what Open refuses and an empty file.
    bool OpenForReading(const std::string& path, std::string& error);
    ~Journal();

    bool Begin(const Attempt& a, std::string& error);                             // inserts the started row
    bool Complete(const Attempt& a, std::string& error);                          // outcome, hashes, cause, ended
    // Begins and completions together, in one transaction: one sync to disk for all. Should it
    // fail, each is written on its own, so each gets the outcome it would have had alone.
    void Write(std::vector<JournalChange>& changes);
    std::vector<Attempt> List(const JournalFilter& f, std::string& error) const;  // newest first

    // For the plant push: completed attempts not yet acknowledged by the server, in the order
    // they ended.
    std::vector<Attempt> Unsent(int limit, std::string& error) const;
    bool MarkSent(const std::vector<std::string>& ids, std::string& error);

    static std::string DefaultPath();  // production.sqlite in the data folder, beside backups/

    Journal() = default;
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

private:
    bool Upgrade(std::string& error, bool readOnly);
    bool MarkInterrupted(std::string& error);
    std::string RunLockPath(const std::string& run) const;
    bool TakeRunLock(std::string& error);
    bool RunIsOver(const std::string& run) const;
    std::vector<Attempt> Read(Statement& s, std::string& error) const;
    bool Fail(const std::string& what, std::string& error) const;  // false, with SQLite's reason
    bool Exec(const char* sql, std::string& error, const char* what) const;
    bool Exec(const std::string& sql, std::string& error) const;
    int PragmaInt(const char* sql) const;

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string run_;             // this opening's id: its own started rows are never taken for a killed run's
    sqlite3* runLock_ = nullptr;  // held while this opening lives (see RunIsOver)
};

}  // namespace record
