#include "PlantRecord.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

#include "AttemptColumns.h"
#include "Journal.h"
#include "Settings.h"

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
    "DO $$ BEGIN EXECUTE format('GRANT TEMPORARY ON DATABASE %I TO drivetune_station', current_database()); END $$;"
    "GRANT SELECT ON attempts TO drivetune_viewer;";

const char* const kCopyColumns =
    "id, recipe_file, recipe_sha256, written_sha256, read_back_sha256, identity, outcome, cause, rounded, label,"
    " operator, station, port, started, ended";
// No conflict target: naming one would need SELECT, which the station lacks.
const std::string kMoveIncoming = std::string("INSERT INTO attempts (") + kCopyColumns + ") SELECT " + kCopyColumns +
                                  " FROM incoming ON CONFLICT DO NOTHING";
const char* const kUniqueViolation = "23505";
// Made by the station, which may not read `attempts` (so not LIKE it).
const char* const kIncomingTable =
    "CREATE TEMPORARY TABLE incoming (id text, recipe_file text, recipe_sha256 text, written_sha256 text,"
    " read_back_sha256 text, identity text, outcome text, cause text, rounded text, label text, operator text,"
    " station text, port text, started timestamptz, ended timestamptz) ON COMMIT DROP";

// One field of COPY's text format: backslash, tab and line breaks escaped.
void AppendCopyEscaped(std::string& data, const std::string& text) {
    for (char ch : text) {
        switch (ch) {
        case '\\': data += "\\\\"; break;
        case '\t': data += "\\t"; break;
        case '\n': data += "\\n"; break;
        case '\r': data += "\\r"; break;
        default: data += ch;
        }
    }
}

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
    const std::unique_ptr<char, void (*)(void*)> parseErrorOwner(parseError, PQfreemem);
    if (!options) {
        error = std::string("the connection string is not valid: ") + (parseError ? parseError : "out of memory");
        while (!error.empty() && error.back() == '\n') error.pop_back();
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

std::string ConfiguredRecordServer(const std::string& settingsPath) {
    return dt::ReadProfileString(settingsPath, "Tavo GUI", "RecordServer");
}

PlantRecord::~PlantRecord() { PQfinish(conn_); }

bool PlantRecord::Connect(const std::string& conninfo, std::string& error) {
    if (CarriesPassword(conninfo, error)) return false;
    // Defaults first: the string's own values override them.
    const char* keys[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* values[] = {"10", "drivetune", conninfo.c_str(), nullptr};
    PQfinish(conn_);
    conn_ = PQconnectdbParams(keys, values, 1);
    if (conn_ && PQstatus(conn_) == CONNECTION_OK) {
        // The server's notices ("already exists, skipping") are not the user's business.
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        return true;
    }
    error = "cannot reach the plant database: " + Message(conn_);
    return false;
}

bool PlantRecord::Run(const std::string& sql, std::string& error, int expected) {
    Result r(PQexec(conn_, sql.c_str()));
    if (expected >= 0 ? PQresultStatus(r.r) == expected : r.Ok()) return true;
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

namespace {

// COPY's rows as text, in the columns of kCopyColumns.
std::string CopyData(const std::vector<Attempt>& batch) {
    std::string data;
    for (const Attempt& a : batch)
        for (int col = 0; col < kAttemptColumns; ++col) {
            const std::string text = ColumnText(a, col);
            if (col == kEndedColumn && text.empty()) data += "\\N";  // NULL: not ended
            else AppendCopyEscaped(data, text);
            data += col + 1 == kAttemptColumns ? '\n' : '\t';
        }
    return data;
}

}  // namespace

// COPY into `table`; true when the server took every row. `sqlstate` says why it did not.
bool PlantRecord::Copy(const std::string& table, const std::string& data, std::string& sqlstate) {
    sqlstate.clear();
    const std::string sql = "COPY " + table + " (" + kCopyColumns + ") FROM STDIN";
    Result start(PQexec(conn_, sql.c_str()));
    const bool copying = PQresultStatus(start.r) == PGRES_COPY_IN;
    bool ok = copying && PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) == 1;
    // A COPY is ended even when its rows could not be sent: left open, it would hold the connection.
    if (copying && PQputCopyEnd(conn_, ok ? nullptr : "the rows could not be sent") != 1) ok = false;
    for (;;) {
        const Result r(PQgetResult(conn_));
        if (!r.r) break;
        // Still copying: the end never reached the server, and asking again would never stop.
        if (PQresultStatus(r.r) == PGRES_COPY_IN) return false;
        if (PQresultStatus(r.r) != PGRES_COMMAND_OK) {
            ok = false;
            const char* state = PQresultErrorField(r.r, PG_DIAG_SQLSTATE);
            if (state) sqlstate = state;
        }
    }
    return ok;
}

// COPY straight into `attempts`, the server's fastest way in. A batch the server partly holds
// (sent again after a cut-off) fails as a whole on the first id it knows, and then goes through
// a temporary table, from which only the ids the table lacks are taken. Each way is one
// transaction, so a batch is stored whole or not at all.
bool PlantRecord::Insert(const std::vector<Attempt>& batch, int& added, std::string& error) {
    added = 0;
    if (batch.empty()) return true;
    const std::string data = CopyData(batch);
    std::string sqlstate;
    if (Run("BEGIN", error) && Copy("attempts", data, sqlstate) && Run("COMMIT", error)) {
        added = static_cast<int>(batch.size());
        return true;
    }
    error = "the plant database refused the attempts: " + Message(conn_);
    PQclear(PQexec(conn_, "ROLLBACK"));
    if (sqlstate == kUniqueViolation) {
        Result moved(nullptr);
        if (Run(std::string("BEGIN; ") + kIncomingTable, error) && Copy("incoming", data, sqlstate) &&
            (moved.r = PQexec(conn_, kMoveIncoming.c_str()), moved.Ok()) && Run("COMMIT", error)) {
            added = std::atoi(PQcmdTuples(moved.r));
            error.clear();
            return true;
        }
        error = "the plant database refused the attempts: " + Message(conn_);
        PQclear(PQexec(conn_, "ROLLBACK"));
    }
    return false;
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
        for (int col = 0; col < kAttemptColumns; ++col) SetColumn(a, col, PQgetvalue(r.r, row, col));
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
        std::string readError;
        const std::vector<Attempt> batch = journal.Unsent(batchSize, readError);
        if (!readError.empty()) {
            error = readError;
            return false;
        }
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
