#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "search/change_look.h"
#include "storage/records.h"

struct sqlite3;
class SqliteStatement;

// How the index holds one table: the state it was read at and, when it has been found current since,
// the server's count of its writes at that moment and the stretch that count belongs to (see
// table_writes.h).
struct IndexedTable {
    std::int64_t relation = 0;  // the version of the table's own row in the server's list of tables,
                                // which a table made anew changes
    TableState state;
    std::int64_t writes = 0;
    std::int64_t epoch = 0;  // 0: not found current since the index was opened
};

// One registration as the index holds it, with its group's name.
struct IndexedFile {
    int groupNo = 0;
    int fileNo = 0;
    std::string fileName;
    std::string folder;
    std::string groupName;
};

// The search index of one database: a SQLite file of this desktop's own holding the master rows'
// texts and every registration (file name and folder as stored), each with its words (see
// index_words.h), and how each table stood when it was read. One connection per thread; a writer
// and any number of readers may use the file at once.
class IndexFile {
public:
    // The file's format: a file of another is made anew.
    static constexpr int kFormat = 1;

    // Opens the index at `path` for the database `identity` to keep it. A file that cannot be opened,
    // is damaged, of another format or another database's, is removed and made anew, for its user
    // alone. Nothing when none can be made there, or when `given` answered true meanwhile.
    static std::unique_ptr<IndexFile> OpenToKeep(const std::filesystem::path& path,
                                                 const std::string& identity,
                                                 const std::function<bool()>& given);
    // Opens the index at `path` to search it: nothing when there is none of `identity`.
    static std::unique_ptr<IndexFile> OpenToSearch(const std::filesystem::path& path,
                                                   const std::string& identity);
    // Removes the index file at `path` with its journal.
    static void Remove(const std::filesystem::path& path);
    ~IndexFile();
    IndexFile(const IndexFile&) = delete;
    IndexFile& operator=(const IndexFile&) = delete;

    // A failure since the last question was the file's damage (as against being busy or full).
    bool FoundDamaged();
    // What runs on the file is given up as soon as `given` answers true (nothing: never).
    void GiveUpWhen(std::function<bool()> given);

    // Reads and writes between Begin and End see and make one state of the file; End commits what
    // they wrote and answers whether every one of them succeeded.
    bool Begin();
    bool End();

    // Every table has been read once: from then on only the tables that changed are read again.
    bool Complete();
    bool SetComplete();
    std::map<std::string, IndexedTable> Tables();
    // The tables held otherwise than unwritten in the stretch of the server's counts `epoch`: those
    // written in it, those held from an earlier one, those that could not be read.
    std::map<std::string, IndexedTable> TablesMarked(std::int64_t epoch);
    std::optional<IndexedTable> Table(const std::string& name);
    // The rows of a table as read now replace what was held (a file table's in the order of their
    // numbers).
    bool PutGroups(const std::vector<GroupRecord>& rows);
    bool PutFiles(int groupNo, const std::vector<FileRecord>& rows);
    // Notes how a table stands as held.
    bool PutTable(const std::string& name, const IndexedTable& table);
    // Forgets a table that is gone, and its rows.
    bool DropTable(const std::string& name);

    // The name of the master row `number`; nothing when there is none.
    std::optional<std::string> GroupName(int number);
    // The master rows (number and the searched texts) whose texts may hold what `query` (an
    // IndexQuery) stands for, by number: the index narrows, its user decides.
    std::vector<GroupRecord> GroupsMatching(const std::string& query);
    // The registrations of existing groups whose file name may match `nameQuery` or whose folder may
    // match `folderQuery` (either empty: none), by group and number.
    std::vector<IndexedFile> FilesMatching(const std::string& nameQuery, const std::string& folderQuery);

    // Bytes on disk, its journal included.
    std::uintmax_t SizeOnDisk() const;
    const std::filesystem::path& Path() const { return path_; }
    const std::string& Identity() const { return identity_; }

private:
    struct Statements;
    IndexFile(sqlite3* connection, std::filesystem::path path, std::string identity);
    static std::unique_ptr<IndexFile> Open(const std::filesystem::path& path, const std::string& identity,
                                           const std::function<bool()>* given);
    bool Note(bool done);
    bool Note(SqliteStatement& statement, bool done);
    bool DropFiles(int groupNo);
    std::int64_t FolderId(const std::string& folder);

    sqlite3* connection_;
    std::filesystem::path path_;
    std::string identity_;
    std::unique_ptr<Statements> statements_;
    std::function<bool()> given_;
    bool damaged_ = false;
    bool failed_ = false;
};
