// The plant record under load: stations recording and pushing at once while the server restarts,
// then push against COPY into the same table. Prints its figures; exit status 1 when a row is
// lost or duplicated. Run by scripts/record-soak, which starts and restarts the server.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Journal.h"
#include "PlantRecord.h"

using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    std::string server, work, restart;
    int stations = 10, attempts = 1000, restarts = 2, copyRows = 20000;
};

std::string Scalar(const std::string& conninfo, const std::string& sql) {
    PGconn* c = PQconnectdb(conninfo.c_str());
    PGresult* r = PQexec(c, sql.c_str());
    std::string out = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) ? PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    PQfinish(c);
    return out;
}

record::Attempt MakeAttempt(int station, int n) {
    record::Attempt a;
    a.id = record::NewAttemptId();
    a.recipeFile = "fleet.ged";
    a.recipeSha256 = std::string(64, 'a');
    a.writtenSha256 = a.readBackSha256 = std::string(64, 'b');
    a.identity = "foc";
    a.outcome = n % 10 ? record::Outcome::Pass : record::Outcome::Fail;
    a.cause = n % 10 ? "" : "read back differs";
    a.roundedJson = "[]";
    a.label = "S" + std::to_string(station) + "-" + std::to_string(n);
    a.operatorName = "soak";
    a.station = "station-" + std::to_string(station);
    a.port = "COM3";
    a.started = record::UtcNow();
    return a;
}

// One station: records its attempts one by one and nudges its pusher after each, as a station does.
void Station(const Options& o, const std::string& conninfo, int index, std::vector<std::string>& ids,
             std::atomic<int>& recorded) {
    const std::string path = o.work + "/station" + std::to_string(index) + ".sqlite";
    record::Journal journal;
    std::string error;
    if (!journal.Open(path, error)) std::fprintf(stderr, "%s\n", error.c_str()), std::exit(2);
    record::BackgroundPusher pusher(path, conninfo, std::chrono::milliseconds(200));
    for (int n = 0; n < o.attempts; ++n) {
        record::Attempt a = MakeAttempt(index, n);
        if (!journal.Begin(a, error)) std::fprintf(stderr, "%s\n", error.c_str()), std::exit(2);
        a.ended = record::UtcNow();
        if (!journal.Complete(a, error)) std::fprintf(stderr, "%s\n", error.c_str()), std::exit(2);
        ids.push_back(a.id);
        ++recorded;
        pusher.Nudge();
    }
    // Until the journal holds nothing unsent (the server may be down for a while).
    const auto limit = Clock::now() + std::chrono::minutes(5);
    while (!journal.Unsent(1, error).empty() && Clock::now() < limit) {
        pusher.Nudge();
        pusher.WaitIdle(std::chrono::seconds(30));
        if (!pusher.Current().lastError.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// Restarts the server each time the stations have recorded another share of the total, while
// their pushers are at work.
int Restarter(const Options& o, const std::string& admin, const std::atomic<int>& recorded,
              const std::atomic<bool>& done) {
    const int total = o.stations * o.attempts;
    int restarted = 0;
    while (!done && restarted < o.restarts) {
        if (recorded >= total * (restarted + 1) / (o.restarts + 1)) {
            const std::string rows = Scalar(admin, "SELECT count(*) FROM attempts");
            std::printf("  restarting the server: %d attempts recorded, %s rows on the server\n", recorded.load(),
                        rows.c_str());
            std::fflush(stdout);
            if (std::system(o.restart.c_str()) != 0) std::fprintf(stderr, "restart failed\n");
            ++restarted;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return restarted;
}

bool Soak(const Options& o, const std::string& admin) {
    const std::string station = admin + " user=drivetune_station";
    std::vector<std::vector<std::string>> ids(o.stations);
    std::atomic<bool> done{false};
    std::atomic<int> recorded{0};
    int restarted = 0;
    const auto start = Clock::now();
    std::thread restarter([&] { restarted = Restarter(o, admin, recorded, done); });
    std::vector<std::thread> stations;
    for (int i = 0; i < o.stations; ++i) stations.emplace_back([&, i] { Station(o, station, i, ids[i], recorded); });
    for (std::thread& t : stations) t.join();
    done = true;
    restarter.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::set<std::string> expected;
    for (const auto& list : ids) expected.insert(list.begin(), list.end());
    const int rows = std::atoi(Scalar(admin, "SELECT count(*) FROM attempts").c_str());
    const int distinct = std::atoi(Scalar(admin, "SELECT count(DISTINCT id) FROM attempts").c_str());
    std::string idList;
    for (const std::string& id : expected) idList += (idList.empty() ? "'" : ",'") + id + "'";
    const int known = std::atoi(Scalar(admin, "SELECT count(*) FROM attempts WHERE id IN (" + idList + ")").c_str());
    const int lost = static_cast<int>(expected.size()) - known, duplicated = rows - distinct + (distinct - known);
    std::printf("%d stations x %d attempts, server restarted %d times, %.1f s\n", o.stations, o.attempts, restarted,
                seconds);
    std::printf(
        "  attempts recorded   %zu\n  rows on the server  %d\n  lost                %d\n"
        "  duplicated          %d\n",
        expected.size(), rows, lost, duplicated);
    return rows == o.stations * o.attempts && lost == 0 && duplicated == 0 && restarted == o.restarts;
}

// A journal of `rows` completed attempts, filled in one SQLite transaction.
std::string ThroughputJournal(const Options& o, int rows) {
    const std::string path = o.work + "/throughput.sqlite";
    {
        record::Journal j;
        std::string error;
        j.Open(path, error);
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const std::string sql =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows) +
        ") INSERT INTO attempts SELECT lower(hex(randomblob(16))), 'x', 'fleet.ged', printf('%064d', 1),"
        " printf('%064d', 2), printf('%064d', 2), 'foc', 'pass', '', '[]', 'SN' || i, 'soak', 'station-1', 'COM3',"
        " strftime('%Y-%m-%dT%H:%M:%fZ', 'now'), strftime('%Y-%m-%dT%H:%M:%fZ', 'now') FROM n";
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db)), std::exit(2);
    sqlite3_close(db);
    return path;
}

// COPY of the same rows, as text, into the emptied table.
double CopySeconds(const std::string& admin, const std::vector<record::Attempt>& rows) {
    std::string data;
    for (const record::Attempt& a : rows)
        data += a.id + "\t" + a.recipeFile + "\t" + a.recipeSha256 + "\t" + a.writtenSha256 + "\t" + a.readBackSha256 +
                "\t" + a.identity + "\t" + record::OutcomeWord(a.outcome) + "\t" + a.cause + "\t" + a.roundedJson +
                "\t" + a.label + "\t" + a.operatorName + "\t" + a.station + "\t" + a.port + "\t" + a.started + "\t" +
                a.ended + "\n";
    PGconn* c = PQconnectdb(admin.c_str());
    const auto start = Clock::now();
    PQclear(PQexec(c,
                   "COPY attempts (id, recipe_file, recipe_sha256, written_sha256, read_back_sha256, identity,"
                   " outcome, cause, rounded, label, operator, station, port, started, ended) FROM STDIN"));
    PQputCopyData(c, data.data(), static_cast<int>(data.size()));
    PQputCopyEnd(c, nullptr);
    PGresult* r = PQgetResult(c);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!ok) std::fprintf(stderr, "COPY: %s\n", PQerrorMessage(c));
    PQclear(r);
    PQfinish(c);
    return seconds;
}

bool Throughput(const Options& o, const std::string& admin) {
    const std::string path = ThroughputJournal(o, o.copyRows);
    record::Journal journal;
    std::string error;
    journal.Open(path, error);
    const std::vector<record::Attempt> rows = journal.Unsent(0, error);
    Scalar(admin, "TRUNCATE attempts");
    const auto start = Clock::now();
    record::PushResult result;
    const bool pushed = record::PushJournal(journal, admin + " user=drivetune_station", result, error);
    const double push = std::chrono::duration<double>(Clock::now() - start).count();
    Scalar(admin, "TRUNCATE attempts");
    const double copy = CopySeconds(admin, rows);
    const double pushRate = rows.size() / push, copyRate = rows.size() / copy;
    std::printf("push against COPY, %zu attempts into the same table\n", rows.size());
    std::printf("  push   %8.0f attempts/s (journal read and marked sent included)\n", pushRate);
    std::printf("  COPY   %8.0f attempts/s\n  ratio  %8.2f (target at least 0.50)\n", copyRate, pushRate / copyRate);
    if (!pushed) std::fprintf(stderr, "push: %s\n", error.c_str());
    return pushed && result.added == static_cast<int>(rows.size());
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--server") o.server = value;
        else if (key == "--work") o.work = value;
        else if (key == "--restart") o.restart = value;
        else if (key == "--stations") o.stations = std::atoi(value.c_str());
        else if (key == "--attempts") o.attempts = std::atoi(value.c_str());
        else if (key == "--restarts") o.restarts = std::atoi(value.c_str());
        else if (key == "--copy-rows") o.copyRows = std::atoi(value.c_str());
    }
    if (o.server.empty() || o.work.empty() || (o.restarts > 0 && o.restart.empty())) {
        std::fprintf(stderr,
                     "usage: drivetune-record-soak --server CONNINFO --work DIR --restart COMMAND "
                     "[--stations N] [--attempts M] [--restarts K] [--copy-rows R]\n");
        return 2;
    }
    const std::string db = "dt_soak_" + record::NewAttemptId().substr(0, 8);
    Scalar(o.server, "CREATE DATABASE " + db);
    const std::string admin = o.server + " dbname=" + db;
    record::PlantRecord plant;
    std::string note, error;
    if (!plant.Connect(admin, error) || !plant.Init(note, error)) return std::fprintf(stderr, "%s\n", error.c_str()), 2;
    const bool soaked = Soak(o, admin);
    const bool measured = Throughput(o, admin);
    Scalar(o.server, "DROP DATABASE " + db + " WITH (FORCE)");
    return soaked && measured ? 0 : 1;
}
