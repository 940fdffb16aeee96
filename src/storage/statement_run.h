#pragma once

#include <firebird/Interface.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/call_status.h"
#include "storage/database.h"

// Running the statements that return no rows, and what the program learns of its own writes.
// Firebird's own types: only for the storage layer's sources.

inline constexpr unsigned kSqlDialect = 3;

// What a writing statement does to its table's number of rows.
enum class RowEffect { AddsOne, KeepsCount, Removes, Unknown };

struct WriteStatement {
    const char* operation;
    std::string text;
    std::string_view table;  // empty for a script
    RowEffect effect;
    bool counted = false;  // the caller asks how many rows it changed
};

// Runs `text` in `transaction`. With `counted` it is prepared first, so that the server says how many
// rows it changed; without, it answers 0. Throws Firebird's exception when a call fails.
long long RunStatement(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                       const std::string& text, bool counted, CallStatus& status);

// The report of `write`, which changed `changed` rows (counted where it removes rows) in `transaction`,
// with the transaction's number asked of the server.
Database::OwnWrite DetailedOwnWrite(const WriteStatement& write, long long changed,
                                    Firebird::ITransaction* transaction, CallStatus& status);
