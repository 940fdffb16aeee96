#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One statement of a SQLite connection, prepared once and run any number of times; finalized when it
// goes. Every failure shows as a result code, never as an exception.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* connection, std::string_view text);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepared() const { return statement_ != nullptr; }
    // Parameters count from 1. Texts are bound as they are, not copied: they must stay until the
    // statement has run (or been bound again).
    SqliteStatement& Bind(int parameter, std::int64_t value);
    SqliteStatement& BindBytes(int parameter, std::string_view bytes);
    SqliteStatement& BindText(int parameter, std::string_view text);
    // The next row: true while there is one. The first step after Reset runs the statement anew.
    bool Step();
    // Runs the statement to its end; true when it completed.
    bool Run();
    void Reset();
    std::int64_t Int(int column) const;
    std::string Bytes(int column) const;
    // Whether the last step failed (as against running out of rows), and its code.
    bool Failed() const { return failed_; }
    int Code() const { return code_; }

private:
    sqlite3_stmt* statement_ = nullptr;
    int code_ = 0;
    bool failed_ = false;
};

// Runs statements without parameters or results (";"-separated); true when all of them ran.
bool SqliteExecute(sqlite3* connection, const char* statements);
