#pragma once

#include <map>
#include <optional>
#include <string>

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

// Counts and digests the tables of the attached database; nothing when a table cannot be read.
std::optional<RowCensus> CountGroupRows(Database& database);
