#pragma once

#include <cstdint>
#include <map>
#include <string>

class Database;

// How often the group tables have been written, as the server counts it: per table, the rows
// inserted, updated and deleted since the database was opened on the server, by every connection,
// committed or not. The counts are the server's for as long as it keeps the database open, which
// it does while one connection stays attached; one connection's attachment stands for that
// stretch. A table absent from the counts has not been written in it.
//
// Only a server that keeps one count for all its connections (Firebird's Super mode, and the
// embedded engine in that mode), asked by its administrator or the database's owner, tells of other
// connections' writes: `shared` says that it does.
struct TableWrites {
    bool read = false;            // the counts could be read
    std::string database;         // the database's path, as the program names it
    std::string created;          // and when it was made: one restored or copied over it is another
    std::int64_t connection = 0;  // the reading connection's attachment
    bool shared = false;          // another connection's reads show in the counts
    std::map<std::string, std::int64_t> writes;  // the master table, the file tables and the table list

    std::int64_t WritesOf(const std::string& table) const;
    // The database counted: where it is and when it was made.
    std::string Identity() const { return database + "|" + created; }
};

// The table whose writes tell of tables created and dropped.
inline constexpr const char* kTableList = "RDB$RELATIONS";

// One statement on `database`, in a transaction of its own so that the server counts afresh.
TableWrites ReadTableWrites(Database& database);
