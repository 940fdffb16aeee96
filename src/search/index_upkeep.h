#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "search/index_file.h"
#include "search/table_writes.h"

class Database;

// Makes and keeps the search index of the database a connection is attached to, a statement at a
// time, off the windows' thread (one thread only). It reads a table only once the server's count of
// its writes (taken at the change watch's looks) has stood still since every transaction then under
// way ended, so that a write not committed yet when it was read cannot slip by; the table is held as
// of that count. A table the index held in an earlier stretch of the server's counts is checked by
// its row count and newest record version, and read again only when they differ.
class IndexUpkeep {
public:
    // Index files live in `folder`; what runs on them is given up once `given` answers true.
    IndexUpkeep(std::filesystem::path folder, std::function<bool()> given);
    ~IndexUpkeep();
    IndexUpkeep& operator=(IndexUpkeep&&);

    // The database was left: its index is let go.
    void Leave();
    // How the tables stand at the latest look (of another database: its index is taken up).
    void Take(const TableWrites& counts);
    // The program wrote these tables itself: they are read again, whatever their counts say.
    void Written(const std::vector<std::string>& tables);
    // The file was found damaged: it is made anew.
    void Remake();
    // One statement of work on `database`; false when nothing is left to do until the next look.
    bool Step(Database& database);

    // The index file in use (empty path: none) and the database it belongs to.
    const std::filesystem::path& Path() const { return path_; }
    const std::string& Identity() const { return identity_; }
    // Every table has been read once, and the index is found as held in this stretch of the
    // server's counts.
    bool Ready() const;
    // The tables read or found as held since the last call.
    std::vector<std::string> TakeRecorded();

private:
    struct Seen {
        std::int64_t writes = 0;
        std::int64_t since = 0;  // the next transaction's number when the count was first seen so
    };
    void Open();
    bool Current(const std::string& table) const;
    bool Settled(const std::string& table) const;
    // The table is to be read now: neither held as it stands nor waiting for writers to end.
    bool Due(const std::string& table) const;
    IndexedTable AsSeen(const std::string& table, const TableState& state) const;
    // Notes the table as held now (its rows, when read, written before).
    bool Record(const std::string& table, const IndexedTable& held);
    void ListTables(Database& database);
    void ReadGroups(Database& database);
    void CheckFiles(Database& database, const std::vector<int>& groups);
    void ReadFiles(Database& database, const std::vector<int>& groups);
    // Ends a batch of the file's writes; a damaged file is made anew from the next step on.
    void Finish(bool done);
    // Lets go of the file and removes it.
    void Discard();

    std::filesystem::path folder_;
    std::function<bool()> given_;
    bool unusable_ = false;  // the index of this database cannot be kept
    std::filesystem::path path_;
    std::string identity_;
    std::unique_ptr<IndexFile> file_;
    bool complete_ = false;
    TableWrites counts_;
    std::int64_t epoch_ = 0;
    std::map<std::string, Seen> seen_;
    std::map<std::string, IndexedTable> held_;    // as the file holds them
    std::map<std::string, std::int64_t> listed_;  // the group tables that exist, when known
    std::set<std::string> written_;               // by the program, not read since
    std::set<std::string> unread_;                // could not be read at this look
    std::map<std::string, long long> changed_;    // found changed at this look: their rows now
    std::vector<std::string> recorded_;
};

// The index file's name for a database: the letters and digits of its file name, for the eye, and a
// fingerprint of its whole path (server prefix included).
std::string IndexFileName(const std::string& databasePath);
