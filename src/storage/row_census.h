#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class Database;

// What one table holds: its rows and a digest of their values.
struct TableCensus {
    long long rows = 0;
    std::string digest;

    bool operator==(const TableCensus&) const = default;
};

// How many rows the master table and each file table hold, and a digest of each table's values:
// what a backup must bring back, and what tells whether the database changed.
struct RowCensus {
    std::map<std::string, TableCensus> tables;  // by table name

    long long Groups() const;         // rows of the master table
    long long Registrations() const;  // rows of all file tables
    // Sixteen hexadecimal digits for the whole census: another text, other contents.
    std::string Fingerprint() const;

    bool operator==(const RowCensus&) const = default;
};

// The columns of the query that counts and digests one table (the master table or a file table).
std::string CensusColumns(const std::string& table);
// How many tables one statement of the census counts: a server far away answers each statement
// after a round trip, and one per table would hold 1,000 of them for minutes. Each table takes two
// of a statement's 256 contexts (itself and its count).
inline constexpr std::size_t kCensusTablesPerStatement = 100;
// The derived tables whose rows count and digest `tables`, kCensusTablesPerStatement of them each:
// a row per table, of its index in `tables`, its rows and its digest.
std::vector<std::string> CensusSources(const std::vector<std::string>& tables);

// One SELECT of `columns` from `table` (where `where` holds, when it is not empty): every row's
// values as text, a NULL as empty text; nothing when it fails.
using CensusSelect = std::function<std::optional<std::vector<std::vector<std::string>>>(
    const std::string& columns, const std::string& table, const std::string& where)>;

// The master table and the file tables, by name in order; nothing when they cannot be listed.
std::optional<std::vector<std::string>> ListGroupTables(const CensusSelect& select);
// Counts and digests the group tables through `select`; nothing when a table cannot be read.
std::optional<RowCensus> TakeCensus(const CensusSelect& select);

// Counts and digests the tables of the attached database; nothing when a table cannot be read.
std::optional<RowCensus> CountGroupRows(Database& database);
