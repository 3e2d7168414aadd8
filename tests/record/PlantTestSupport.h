// A database of its own on the throw-away server scripts/test starts (DT_TEST_PG: its superuser's
// connection string), dropped when the test ends. Without the server the test skips.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <string>

#include "Attempt.h"

namespace rtest {

inline const char* kNoServer =
    "no PostgreSQL test server: run scripts/test, which starts one, or set DT_TEST_PG to a superuser's "
    "connection string (scripts/pg-cluster start DIR prints one)";

// A result's first value, or the server's message when the statement fails.
inline std::string Query(const std::string& conninfo, const std::string& sql) {
    PGconn* c = PQconnectdb(conninfo.c_str());
    PGresult* r = PQexec(c, sql.c_str());
    std::string out;
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0) out = PQgetvalue(r, 0, 0);
    else if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        out = std::string("ERROR ") + PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
    return out;
}

class PlantDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        const char* server = std::getenv("DT_TEST_PG");
        if (!server || !*server) GTEST_SKIP() << kNoServer;
        server_ = server;
        name_ = "dt_" + record::NewAttemptId().substr(0, 12);
        ASSERT_EQ(Query(server_, "CREATE DATABASE " + name_), "");
        admin_ = server_ + " dbname=" + name_;
    }
    void TearDown() override {
        if (!name_.empty()) Query(server_, "DROP DATABASE " + name_ + " WITH (FORCE)");
    }
    std::string As(const std::string& role) const { return admin_ + " user=" + role; }

    std::string server_, name_, admin_;
};

}  // namespace rtest
