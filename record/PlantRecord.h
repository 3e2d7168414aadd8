// The plant's record: every station's attempts in one PostgreSQL database, table `attempts`, one
// row per attempt id. Stations push what their journal holds; quality engineers read reports.
// Passwords never travel in a connection string: libpq takes them from its password file
// (~/.pgpass, PGPASSFILE) or a service file (~/.pg_service.conf, PGSERVICEFILE).
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Attempt.h"

typedef struct pg_conn PGconn;

namespace record {

class Journal;

// The schema version this program writes and reads.
constexpr int kPlantSchemaVersion = 1;

class PlantRecord {
public:
    PlantRecord() = default;
    PlantRecord(const PlantRecord&) = delete;
    PlantRecord& operator=(const PlantRecord&) = delete;
    ~PlantRecord();

    // False with the reason: a string that carries a password, no server, refused credentials.
    bool Connect(const std::string& conninfo, std::string& error);
    // Creates or upgrades the schema and creates the roles drivetune_station (may only insert
    // attempts) and drivetune_viewer (may only read), without passwords. `note` says what it did.
    bool Init(std::string& note, std::string& error);
    // The schema exists and is no newer than this program's.
    bool CheckSchema(std::string& error);
    // One statement, one transaction: ids the table already holds are skipped, so a batch sent
    // again after a cut-off adds nothing. `added` counts the new rows.
    bool Insert(const std::vector<Attempt>& batch, int& added, std::string& error);
    // Attempts started at or after `since` ("" for all), oldest first.
    bool Fetch(const std::string& since, std::vector<Attempt>& out, std::string& error);

    PGconn* Connection() const { return conn_; }  // for the benchmark's COPY

private:
    bool Run(const std::string& sql, std::string& error);
    int SchemaVersion(std::string& error);  // 0: none yet; -1: error

    PGconn* conn_ = nullptr;
};

struct PushResult {
    int sent = 0;   // attempts the server now holds that the journal had not marked sent
    int added = 0;  // of those, rows new to the server (fewer after a cut-off push)
};

// Sends the journal's completed, unsent attempts in batches, each marked sent once the server
// has committed it. With the server down nothing is marked and the attempts wait for the next
// push. False with the reason.
bool PushJournal(Journal& journal, const std::string& conninfo, PushResult& result, std::string& error,
                 int batchSize = 500);

// Pushes on a thread of its own, so a station never waits for the server: call Nudge() after
// each attempt ends (it returns at once). A failed push is tried again on the next Nudge, or by
// itself after `retry`. The thread keeps its own connection to the journal file. The destructor
// stops the thread after the push in flight (bounded by the connection's time-out).
//
//   record::BackgroundPusher pusher(record::Journal::DefaultPath(), settings.recordServer);
//   ... after journal.Complete(attempt, error): pusher.Nudge();
class BackgroundPusher {
public:
    struct Status {
        int pushed = 0;         // attempts sent since the pusher started
        std::string lastError;  // "" after a push that succeeded
        int pushes = 0;         // pushes tried
    };
    BackgroundPusher(std::string journalPath, std::string conninfo,
                     std::chrono::milliseconds retry = std::chrono::seconds(60));
    ~BackgroundPusher();
    BackgroundPusher(const BackgroundPusher&) = delete;
    BackgroundPusher& operator=(const BackgroundPusher&) = delete;

    void Nudge();
    Status Current() const;
    // Waits until no push is due or running (tests and the end of a run); false after `limit`.
    bool WaitIdle(std::chrono::milliseconds limit);

private:
    void Loop();

    const std::string journalPath_, conninfo_;
    const std::chrono::milliseconds retry_;
    mutable std::mutex mutex_;
    std::condition_variable wake_, idle_;
    bool due_ = true, busy_ = false, stop_ = false;
    Status status_;
    std::thread thread_;
};

}  // namespace record
