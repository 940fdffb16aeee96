#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "search/index_writer.h"
#include "search/table_writes.h"

class Database;

// Makes and keeps the search index of the database a connection is attached to, a statement at a
// time (on one thread; the file is written on another meanwhile). A table is held as of the server's
// count of its writes at the change watch's latest look: its reads fail while a write to it is still
// pending, so that what they give holds every write counted. A table the index held in an earlier
// stretch of the server's counts is checked by its row count and newest record version, and read
// again only when they differ.
class IndexUpkeep {
public:
    // Index files live in `folder`; what runs on them is given up once `given` answers true. The
    // index's writer tells `committed` of each transaction (see IndexWriter).
    IndexUpkeep(std::filesystem::path folder, std::function<bool()> given, IndexWriter::Committed committed);

    // The database was left: its index is let go.
    void Leave();
    // How the tables stand at the latest look (of another database: its index is taken up).
    void Take(const TableWrites& counts);
    // The program wrote these tables itself (its note numbered `note`): they are checked again,
    // whatever their counts say.
    void Written(const std::vector<std::string>& tables, long long note);
    // The file was found damaged: it is made anew.
    void Remake();
    // One statement of work on `database`; false when nothing is left to do until the next look.
    bool Step(Database& database);

    // The index file in use (empty path: none) and the database it belongs to.
    const std::filesystem::path& Path() const { return kept_.path; }
    const std::string& Identity() const { return kept_.identity; }
    // Every table has been read once, and the index has held each as it stood (once its writes are
    // done), save those that cannot be read, since this stretch of the server's counts began: what
    // changes later is caught up with table by table.
    bool Ready() const { return kept_.ready; }
    // Waits until the index's writes are done.
    void Flush() { writer_->Flush(); }
    // The connection has read many tables since it last answered so.
    bool ReadMany();

private:
    // What the upkeep knows of the database it keeps the index of; all of it goes when it is left.
    struct Kept {
        std::filesystem::path path;
        std::string identity;
        bool open = false;
        bool unusable = false;  // the index of this database cannot be kept
        bool probed = false;    // the server was shown a read of another connection's
        bool complete = false;
        bool ready = false;
        TableWrites counts;
        std::int64_t epoch = 0;
        std::map<std::string, IndexedTable> held;    // as the file will hold them once written
        std::map<std::string, std::int64_t> listed;  // the group tables that exist, when known
        std::set<std::string> written;               // by the program, not checked since
        std::set<std::string> unread;                // could not be read at this look
        std::map<std::string, long long> changed;    // found changed at this look: their rows now
        long long rowsPerTable = 1000;               // as found so far, for tables of unknown size
        std::string resume;                          // the next step looks on from this table
    };
    void Open();
    void Take(const IndexWriter::Held& held);
    bool Current(const std::string& table) const;
    // The table is to be read now: not held as it stands, and not found unreadable at this look.
    bool Due(const std::string& table) const;
    IndexedTable AsSeen(const std::string& table, const TableState& state) const;
    // Queues the tables' writes: their rows, when read, and how each stands.
    void Hold(std::vector<std::pair<std::string, IndexedTable>> tables, long long rows,
              IndexWriter::Write rowsWrite);
    void ListTables(Database& database);
    void ReadGroups(Database& database);
    void CheckFiles(Database& database, const std::vector<int>& groups);
    void ReadFiles(Database& database, const std::vector<int>& groups);

    std::filesystem::path folder_;
    Kept kept_;
    long long note_ = 0;  // of the program's last write told
    std::size_t tablesRead_ = 0;
    std::unique_ptr<IndexWriter> writer_;
};

// The index file's name for a database: the letters and digits of its file name, for the eye, and a
// fingerprint of its whole path (server prefix included).
std::string IndexFileName(const std::string& databasePath);
