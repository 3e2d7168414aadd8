// A prepared SQLite statement that finalizes itself, with the few binds and reads the journal uses.
#pragma once

#include <sqlite3.h>

#include <string>

namespace record {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt_ != nullptr; }
    Statement& Bind(int i, const std::string& text) {
        sqlite3_bind_text(stmt_, i, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int i, long long n) {
        sqlite3_bind_int64(stmt_, i, n);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code (the connection's message says which).
    int Step() { return stmt_ ? sqlite3_step(stmt_) : sqlite3_errcode(db_); }
    bool Reset() { return sqlite3_reset(stmt_) == SQLITE_OK && sqlite3_clear_bindings(stmt_) == SQLITE_OK; }
    std::string Text(int col) const {
        const unsigned char* t = sqlite3_column_text(stmt_, col);
        return t ? std::string(reinterpret_cast<const char*>(t), sqlite3_column_bytes(stmt_, col)) : std::string();
    }
    long long Int(int col) const { return sqlite3_column_int64(stmt_, col); }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace record
