#pragma once

#include <map>
#include <optional>
#include <string>

class Database;

// How many rows the master table and each file table hold: what a backup must bring back.
struct RowCensus {
    std::map<std::string, long long> tables;  // table name, rows

    long long Groups() const;         // rows of the master table
    long long Registrations() const;  // rows of all file tables

    bool operator==(const RowCensus&) const = default;
};

// Counts the tables of the attached database; nothing when a table cannot be read.
std::optional<RowCensus> CountGroupRows(Database& database);
