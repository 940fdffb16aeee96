#include "search/sqlite_statement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* connection, std::string_view text) {
    code_ = sqlite3_prepare_v3(connection, text.data(), static_cast<int>(text.size()),
                               SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    failed_ = code_ != SQLITE_OK;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

SqliteStatement& SqliteStatement::Bind(int parameter, std::int64_t value) {
    sqlite3_bind_int64(statement_, parameter, value);
    return *this;
}

SqliteStatement& SqliteStatement::BindBytes(int parameter, std::string_view bytes) {
    // An empty blob is not NULL: its pointer must not be null.
    sqlite3_bind_blob(statement_, parameter, bytes.empty() ? "" : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_STATIC);
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int parameter, std::string_view text) {
    sqlite3_bind_text(statement_, parameter, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    return *this;
}

bool SqliteStatement::Step() {
    if (statement_ == nullptr) {
        return false;
    }
    code_ = sqlite3_step(statement_);
    failed_ = code_ != SQLITE_ROW && code_ != SQLITE_DONE;
    return code_ == SQLITE_ROW;
}

bool SqliteStatement::Run() {
    while (Step()) {
    }
    const bool done = code_ == SQLITE_DONE;
    Reset();
    return done;
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
}

std::int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Bytes(int column) const {
    const void* const bytes = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes == nullptr ? std::string() : std::string(static_cast<const char*>(bytes), size);
}

bool SqliteExecute(sqlite3* connection, const char* statements) {
    return sqlite3_exec(connection, statements, nullptr, nullptr, nullptr) == SQLITE_OK;
}
