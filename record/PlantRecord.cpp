#include "PlantRecord.h"

#include <libpq-fe.h>

#include <cstdlib>

#include "AttemptColumns.h"
#include "Journal.h"

namespace record {

namespace {

// Schema steps on the server: kPlantSteps[v] takes version v to v + 1.
const char* const kPlantSteps[] = {
    "CREATE TABLE attempts ("
    " id text PRIMARY KEY,"
    " recipe_file text NOT NULL, recipe_sha256 text NOT NULL,"
    " written_sha256 text NOT NULL, read_back_sha256 text NOT NULL,"
    " identity text NOT NULL,"
    " outcome text NOT NULL CHECK (outcome IN ('pass', 'fail', 'error', 'interrupted')),"
    " cause text NOT NULL, rounded text NOT NULL,"
    " label text NOT NULL, operator text NOT NULL, station text NOT NULL, port text NOT NULL,"
    " started timestamptz NOT NULL, ended timestamptz,"
    " received timestamptz NOT NULL DEFAULT now());"
    "CREATE INDEX attempts_started ON attempts (started);",
};
static_assert(sizeof kPlantSteps / sizeof kPlantSteps[0] == kPlantSchemaVersion, "one step per version");

// Roles exist once per cluster; two inits at once (or a role made by hand) are no error.
const char* const kRoles =
    "DO $$ BEGIN"
    " BEGIN CREATE ROLE drivetune_station LOGIN; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END;"
    " BEGIN CREATE ROLE drivetune_viewer LOGIN; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END;"
    " END $$;"
    "REVOKE ALL ON attempts, drivetune_schema FROM PUBLIC, drivetune_station, drivetune_viewer;"
    "GRANT SELECT ON drivetune_schema TO drivetune_station, drivetune_viewer;"
    "GRANT INSERT ON attempts TO drivetune_station;"
    "GRANT SELECT ON attempts TO drivetune_viewer;";

const char* const kInsertColumns =
    "INSERT INTO attempts (id, recipe_file, recipe_sha256, written_sha256, read_back_sha256, identity, outcome,"
    " cause, rounded, label, operator, station, port, started, ended) VALUES ";
constexpr int kInsertParams = kAttemptColumns;

const char* const kUtcText = "'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'";

struct Result {
    explicit Result(PGresult* r) : r(r) {}
    ~Result() { PQclear(r); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    bool Ok() const {
        const ExecStatusType s = PQresultStatus(r);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
    PGresult* r;
};

// libpq's message, on one line, without its trailing newline.
std::string Message(PGconn* conn) {
    std::string m = conn ? PQerrorMessage(conn) : "out of memory";
    while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
    for (char& ch : m)
        if (ch == '\n') ch = ' ';
    return m;
}

// A password in the string would end up in the shell's history, the settings file or a log.
bool CarriesPassword(const std::string& conninfo, std::string& error) {
    char* parseError = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &parseError);
    if (!options) {
        error = std::string("the connection string is not valid: ") + (parseError ? parseError : "out of memory");
        while (!error.empty() && error.back() == '\n') error.pop_back();
        PQfreemem(parseError);
        return true;
    }
    bool password = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (std::string(o->keyword) == "password" && o->val && *o->val) password = true;
    PQconninfoFree(options);
    if (password)
        error =
            "the connection string carries a password; put it in libpq's password file (~/.pgpass or "
            "PGPASSFILE) or a service file instead";
    return password;
}

}  // namespace

PlantRecord::~PlantRecord() { PQfinish(conn_); }

bool PlantRecord::Connect(const std::string& conninfo, std::string& error) {
    if (CarriesPassword(conninfo, error)) return false;
    // Defaults first: the string's own values override them.
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"10", "drivetune", conninfo.c_str(), nullptr};
    PQfinish(conn_);
    conn_ = PQconnectdbParams(keys, values, 1);
    if (conn_ && PQstatus(conn_) == CONNECTION_OK) return true;
    error = "cannot reach the plant database: " + Message(conn_);
    return false;
}

bool PlantRecord::Run(const std::string& sql, std::string& error) {
    Result r(PQexec(conn_, sql.c_str()));
    if (r.Ok()) return true;
    error = "the plant database refused: " + Message(conn_);
    return false;
}

int PlantRecord::SchemaVersion(std::string& error) {
    Result exists(PQexec(conn_, "SELECT to_regclass('drivetune_schema') IS NOT NULL"));
    if (exists.Ok() && PQntuples(exists.r) == 1 && std::string(PQgetvalue(exists.r, 0, 0)) == "f") return 0;
    Result r(PQexec(conn_, "SELECT coalesce(max(version), 0) FROM drivetune_schema"));
    if (!r.Ok() || PQntuples(r.r) != 1) {
        error = "cannot read the plant database's schema: " + Message(conn_);
        return -1;
    }
    return std::atoi(PQgetvalue(r.r, 0, 0));
}

bool PlantRecord::Init(std::string& note, std::string& error) {
    // One init at a time; the whole upgrade commits or nothing does.
    if (!Run("BEGIN; SELECT pg_advisory_xact_lock(4478531); "
             "CREATE TABLE IF NOT EXISTS drivetune_schema (version integer NOT NULL)",
             error))
        return false;
    const int version = SchemaVersion(error);
    bool ok = version >= 0;
    if (ok && version > kPlantSchemaVersion) {
        error = "the plant database has schema " + std::to_string(version) + ", newer than this DriveTune knows (" +
                std::to_string(kPlantSchemaVersion) + "); nothing was changed";
        ok = false;
    }
    for (int v = version; ok && v < kPlantSchemaVersion; ++v) ok = Run(kPlantSteps[v], error);
    ok = ok &&
         Run("DELETE FROM drivetune_schema; INSERT INTO drivetune_schema VALUES (" +
                 std::to_string(kPlantSchemaVersion) + ")",
             error) &&
         Run(kRoles, error) && Run("COMMIT", error);
    if (!ok) {
        PQclear(PQexec(conn_, "ROLLBACK"));
        return false;
    }
    note = version == kPlantSchemaVersion
               ? "the plant database already has schema " + std::to_string(version) + "; roles checked"
               : "the plant database now has schema " + std::to_string(kPlantSchemaVersion) + " (was " +
                     (version == 0 ? std::string("empty") : std::to_string(version)) +
                     "); roles drivetune_station and drivetune_viewer ready";
    return true;
}

bool PlantRecord::CheckSchema(std::string& error) {
    const int version = SchemaVersion(error);
    if (version < 0) return false;
    if (version == 0) {
        error = "the plant database has no DriveTune schema yet; run drivetune-cli record server-init";
        return false;
    }
    if (version > kPlantSchemaVersion) {
        error = "the plant database has schema " + std::to_string(version) + ", newer than this DriveTune knows (" +
                std::to_string(kPlantSchemaVersion) + "); update DriveTune";
        return false;
    }
    return true;
}

bool PlantRecord::Insert(const std::vector<Attempt>& batch, int& added, std::string& error) {
    added = 0;
    if (batch.empty()) return true;
    std::string sql = kInsertColumns;
    std::vector<std::string> texts;  // kept alive until the statement has run
    std::vector<const char*> params;
    texts.reserve(batch.size() * kInsertParams);
    params.reserve(batch.size() * kInsertParams);
    for (size_t row = 0; row < batch.size(); ++row) {
        const Attempt& a = batch[row];
        const int n = static_cast<int>(row) * kInsertParams;
        sql += row ? ",(" : "(";
        for (int col = 0; col < kInsertParams; ++col) {
            std::string p = "$" + std::to_string(n + col + 1);
            if (col == kStartedColumn) p += "::timestamptz";
            if (col == kEndedColumn) p = "NULLIF(" + p + ", '')::timestamptz";
            sql += (col ? "," : "") + p;
            texts.push_back(ColumnText(a, col));
        }
        sql += ")";
    }
    for (const std::string& t : texts) params.push_back(t.c_str());
    sql += " ON CONFLICT DO NOTHING";  // no target: naming one would need SELECT, which the station lacks
    Result r(
        PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0));
    if (!r.Ok()) {
        error = "the plant database refused the attempts: " + Message(conn_);
        return false;
    }
    added = std::atoi(PQcmdTuples(r.r));
    return true;
}

bool PlantRecord::Fetch(const std::string& since, std::vector<Attempt>& out, std::string& error) {
    std::string sql = std::string(
                          "SELECT id, recipe_file, recipe_sha256, written_sha256, read_back_sha256, identity, outcome,"
                          " cause, rounded, label, operator, station, port, to_char(started AT TIME ZONE 'UTC', ") +
                      kUtcText + "), coalesce(to_char(ended AT TIME ZONE 'UTC', " + kUtcText + "), '') FROM attempts";
    std::vector<const char*> params;
    if (!since.empty()) {
        sql += " WHERE started >= $1::timestamp AT TIME ZONE 'UTC'";
        params.push_back(since.c_str());
    }
    sql += " ORDER BY started, id";
    Result r(
        PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0));
    if (!r.Ok()) {
        error = "cannot read the plant database's attempts: " + Message(conn_);
        return false;
    }
    out.clear();
    for (int row = 0; row < PQntuples(r.r); ++row) {
        Attempt a;
        for (int col = 0; col < kInsertParams; ++col) SetColumn(a, col, PQgetvalue(r.r, row, col));
        out.push_back(std::move(a));
    }
    return true;
}

bool PushJournal(Journal& journal, const std::string& conninfo, PushResult& result, std::string& error, int batchSize) {
    result = PushResult();
    error.clear();
    PlantRecord plant;
    if (!plant.Connect(conninfo, error) || !plant.CheckSchema(error)) return false;
    for (;;) {
        const std::vector<Attempt> batch = journal.Unsent(batchSize, error);
        if (!error.empty()) return false;
        if (batch.empty()) return true;
        int added = 0;
        if (!plant.Insert(batch, added, error)) return false;
        std::vector<std::string> ids;
        for (const Attempt& a : batch) ids.push_back(a.id);
        // Cut off here, the batch goes again next time and the server skips what it holds.
        if (!journal.MarkSent(ids, error)) return false;
        result.sent += static_cast<int>(batch.size());
        result.added += added;
    }
}

}  // namespace record
