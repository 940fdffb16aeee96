#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class Database;

// How a table stands, as cheaply as the server can say it: its row count and the newest
// transaction that wrote one of its rows.
struct TableState {
    std::int64_t rows = 0;
    std::int64_t newest = 0;  // MAX(RDB$RECORD_VERSION); 0 for an empty table
    bool operator==(const TableState&) const = default;
};

// Nothing when the table cannot be read.
std::optional<TableState> ReadTableState(Database& database, std::string_view table);

// A view read `table` as it stood in `state` (nothing: it could not be read), both at one moment:
// whoever watches for other desktops' changes compares with that.
using ViewRead = std::function<void(const std::string& table, const std::optional<TableState>& state)>;
