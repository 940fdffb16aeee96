#include "search/index_file.h"

#include <sqlite3.h>

#include <array>
#include <fstream>
#include <utility>

#include "common/number.h"
#include "search/group_search.h"
#include "search/index_words.h"
#include "search/sqlite_statement.h"
#include "storage/schema.h"

namespace fs = std::filesystem;

namespace {

// "QGSI" in the file's header: a file that does not carry it is not an index of this program's.
constexpr int kApplicationId = 0x51475349;
constexpr std::int64_t kRowsPerGroup = std::int64_t{1} << 32;

// The registrations keep their group in their number: a group's rows are one range, in the order of
// their numbers.
std::int64_t FirstFileId(int groupNo) {
    return static_cast<std::int64_t>(groupNo) * kRowsPerGroup;
}

constexpr const char* kSchema =
    "CREATE TABLE about(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
    "CREATE TABLE tables(name TEXT PRIMARY KEY, relation INTEGER, rows INTEGER, newest INTEGER,"
    " writes INTEGER, epoch INTEGER) WITHOUT ROWID;"
    "CREATE TABLE groups(n INTEGER PRIMARY KEY, name BLOB, main BLOB, sub BLOB, author BLOB, memo1 BLOB,"
    " memo2 BLOB, memo3 BLOB);"
    "CREATE VIRTUAL TABLE group_words USING fts5(name, main, sub, author, memo1, memo2, memo3,"
    " tokenize=qarto, content='', detail=none);"
    "CREATE TABLE folders(id INTEGER PRIMARY KEY, path BLOB NOT NULL UNIQUE);"
    "CREATE TABLE files(id INTEGER PRIMARY KEY, n INTEGER, name BLOB, folder INTEGER);"
    "CREATE INDEX files_in_folder ON files(folder);"
    "CREATE VIRTUAL TABLE file_words USING fts5(name, tokenize=qarto, content='', detail=none);"
    "CREATE VIRTUAL TABLE folder_words USING fts5(path, tokenize=qarto, content='', detail=none);";

std::int64_t PragmaValue(sqlite3* connection, const char* pragma) {
    SqliteStatement statement(connection, std::string("PRAGMA ") + pragma);
    return statement.Step() ? statement.Int(0) : -1;
}

bool Sound(sqlite3* connection) {
    SqliteStatement check(connection, "PRAGMA quick_check");
    return check.Step() && check.Bytes(0) == "ok" && !check.Step();
}

std::string About(sqlite3* connection, const char* key) {
    SqliteStatement read(connection, "SELECT value FROM about WHERE key = ?1");
    read.BindText(1, key);
    return read.Step() ? read.Bytes(0) : std::string();
}

bool SetAbout(sqlite3* connection, const char* key, const std::string& value) {
    SqliteStatement write(connection, "INSERT OR REPLACE INTO about VALUES(?1, ?2)");
    return write.BindText(1, key).BindText(2, value).Run();
}

// The full-text tables, whose words are merged from the segments each transaction writes.
constexpr std::array kWordTables{"group_words", "file_words", "folder_words"};

bool SetAutomerge(sqlite3* connection, int segments) {
    bool done = true;
    for (const std::string table : kWordTables) {
        done = done &&
               SqliteExecute(connection, ("INSERT INTO " + table + "(" + table +
                                          ", rank) VALUES('automerge', " + std::to_string(segments) + ")")
                                             .c_str());
    }
    return done;
}

// While the index is first made, segments are merged only once 16 of a level stand (crisismerge), not
// from 4 on: the words of a million rows are rewritten fewer times (an eighth less of the writer's
// work). Once every table is in, single tables written again merge the default way.
constexpr int kAutomergeWhileMade = 0;
constexpr int kAutomergeKept = 4;

// A file of nothing yet becomes an empty index of `identity`.
bool MakeEmpty(sqlite3* connection, const std::string& identity) {
    return SqliteExecute(connection, "PRAGMA journal_mode=WAL") &&
           SqliteExecute(connection, ("PRAGMA application_id=" + std::to_string(kApplicationId) +
                                      ";PRAGMA user_version=" + std::to_string(IndexFile::kFormat))
                                         .c_str()) &&
           SqliteExecute(connection, "BEGIN") && SqliteExecute(connection, kSchema) &&
           SetAutomerge(connection, kAutomergeWhileMade) && SetAbout(connection, "database", identity) &&
           SqliteExecute(connection, "COMMIT");
}

// The file is an index of this program's format for `identity`, sound as far as SQLite can tell
// when `check`.
bool Usable(sqlite3* connection, const std::string& identity, bool check) {
    return PragmaValue(connection, "application_id") == kApplicationId &&
           PragmaValue(connection, "user_version") == IndexFile::kFormat && (!check || Sound(connection)) &&
           About(connection, "database") == identity;
}

// An empty file that only its user may read and write, in a folder only its user may enter. Only
// the folder made here for the indexes is closed: the folders above it are the user's, whatever
// else they hold.
bool MakeFile(const fs::path& path) {
    std::error_code error;
    if (fs::create_directories(path.parent_path(), error)) {
        fs::permissions(path.parent_path(), fs::perms::owner_all, error);
    }
    std::ofstream(path, std::ios::binary).close();
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, error);
    return fs::exists(path, error) && !error;
}

bool IsDamage(int code) {
    return (code & 0xFF) == SQLITE_CORRUPT || (code & 0xFF) == SQLITE_NOTADB;
}

}  // namespace

struct IndexFile::Statements {
    explicit Statements(sqlite3* c)
        : putTable(c, "INSERT OR REPLACE INTO tables VALUES(?1, ?2, ?3, ?4, ?5, ?6)"),
          dropTable(c, "DELETE FROM tables WHERE name = ?1"),
          insertGroup(c, "INSERT OR REPLACE INTO groups VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
          insertGroupWords(c,
                           "INSERT INTO group_words(rowid, name, main, sub, author, memo1, memo2, memo3)"
                           " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
          filesOfGroup(c, "SELECT id, name, folder FROM files WHERE id BETWEEN ?1 AND ?2"),
          deleteFileWords(c, "INSERT INTO file_words(file_words, rowid, name) VALUES('delete', ?1, ?2)"),
          deleteFiles(c, "DELETE FROM files WHERE id BETWEEN ?1 AND ?2"),
          insertFile(c, "INSERT INTO files VALUES(?1, ?2, ?3, ?4)"),
          insertFileWords(c, "INSERT INTO file_words(rowid, name) VALUES(?1, ?2)"),
          findFolder(c, "SELECT id FROM folders WHERE path = ?1"),
          insertFolder(c, "INSERT INTO folders(path) VALUES(?1)"),
          insertFolderWords(c, "INSERT INTO folder_words(rowid, path) VALUES(?1, ?2)"),
          folderUsed(c, "SELECT 1 FROM files WHERE folder = ?1 LIMIT 1"),
          folderPath(c, "SELECT path FROM folders WHERE id = ?1"),
          deleteFolder(c, "DELETE FROM folders WHERE id = ?1"),
          deleteFolderWords(c,
                            "INSERT INTO folder_words(folder_words, rowid, path) VALUES('delete', ?1, ?2)") {}

    SqliteStatement putTable, dropTable, insertGroup, insertGroupWords, filesOfGroup, deleteFileWords,
        deleteFiles, insertFile, insertFileWords, findFolder, insertFolder, insertFolderWords, folderUsed,
        folderPath, deleteFolder, deleteFolderWords;
    // The folder of the rows written last: a group's rows mostly share one.
    std::string lastFolder;
    std::int64_t lastFolderId = 0;
};

IndexFile::IndexFile(sqlite3* connection, fs::path path, std::string identity)
    : connection_(connection),
      path_(std::move(path)),
      identity_(std::move(identity)),
      statements_(std::make_unique<Statements>(connection)) {}

void IndexFile::Remove(const fs::path& path) {
    std::error_code error;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        fs::remove(fs::path(path.string() + suffix), error);
    }
}

IndexFile::~IndexFile() {
    statements_.reset();
    sqlite3_close_v2(connection_);
}

std::unique_ptr<IndexFile> IndexFile::OpenToKeep(const fs::path& path, const std::string& identity,
                                                 const std::function<bool()>& given) {
    return Open(path, identity, &given);
}

std::unique_ptr<IndexFile> IndexFile::OpenToSearch(const fs::path& path, const std::string& identity) {
    return Open(path, identity, nullptr);
}

std::unique_ptr<IndexFile> IndexFile::Open(const fs::path& path, const std::string& identity,
                                           const std::function<bool()>* given) {
    const bool keeping = given != nullptr;
    std::error_code error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool fresh = !fs::exists(path, error);
        if (fresh && (!keeping || !MakeFile(path))) {
            return nullptr;
        }
        sqlite3* connection = nullptr;
        const int opened = sqlite3_open_v2(path.c_str(), &connection, SQLITE_OPEN_READWRITE, nullptr);
        if (opened == SQLITE_OK && AddIndexTokenizer(connection)) {
            sqlite3_busy_timeout(connection, 1000);
            if (keeping && *given) {
                // The check of a large file takes seconds: it must not keep the program from ending.
                sqlite3_progress_handler(
                    connection, 1000,
                    [](void* asked) { return (*static_cast<const std::function<bool()>*>(asked))() ? 1 : 0; },
                    const_cast<std::function<bool()>*>(given));
            }
            SqliteExecute(connection, "PRAGMA secure_delete=OFF;PRAGMA synchronous=NORMAL");
            if (keeping) {
                SqliteExecute(connection, "PRAGMA cache_size=-8000");
            }
            if (fresh ? MakeEmpty(connection, identity) : Usable(connection, identity, keeping)) {
                sqlite3_progress_handler(connection, 0, nullptr, nullptr);
                return std::unique_ptr<IndexFile>(new IndexFile(connection, path, identity));
            }
        }
        sqlite3_close_v2(connection);
        if (!keeping || (*given && (*given)())) {
            return nullptr;
        }
        Remove(path);
    }
    return nullptr;
}

bool IndexFile::Note(bool done) {
    damaged_ = damaged_ || (!done && IsDamage(sqlite3_errcode(connection_)));
    failed_ = failed_ || !done;
    return done;
}

bool IndexFile::Note(SqliteStatement& statement, bool done) {
    damaged_ = damaged_ || (!done && IsDamage(statement.Code()));
    failed_ = failed_ || !done;
    return done;
}

bool IndexFile::FoundDamaged() {
    return std::exchange(damaged_, false);
}

void IndexFile::GiveUpWhen(std::function<bool()> given) {
    given_ = std::move(given);
    sqlite3_progress_handler(
        connection_, given_ ? 1000 : 0,
        [](void* self) { return static_cast<IndexFile*>(self)->given_() ? 1 : 0; }, this);
}

bool IndexFile::Begin() {
    failed_ = false;
    return Note(SqliteExecute(connection_, "BEGIN"));
}

bool IndexFile::End() {
    if (!failed_ && Note(SqliteExecute(connection_, "COMMIT"))) {
        return true;
    }
    SqliteExecute(connection_, "ROLLBACK");
    return false;
}

bool IndexFile::Complete() {
    return About(connection_, "complete") == "1";
}

bool IndexFile::SetComplete() {
    return Note(SetAbout(connection_, "complete", "1")) && Note(SetAutomerge(connection_, kAutomergeKept));
}

namespace {

std::map<std::string, IndexedTable> ReadTables(SqliteStatement& read) {
    std::map<std::string, IndexedTable> tables;
    while (read.Step()) {
        tables[read.Bytes(0)] =
            IndexedTable{read.Int(1), TableState{read.Int(2), read.Int(3)}, read.Int(4), read.Int(5)};
    }
    return tables;
}

constexpr const char* kTablesRead = "SELECT name, relation, rows, newest, writes, epoch FROM tables";

}  // namespace

std::map<std::string, IndexedTable> IndexFile::Tables() {
    SqliteStatement read(connection_, kTablesRead);
    std::map<std::string, IndexedTable> tables = ReadTables(read);
    Note(read, !read.Failed());
    return tables;
}

std::map<std::string, IndexedTable> IndexFile::TablesMarked(std::int64_t epoch) {
    SqliteStatement read(connection_, std::string(kTablesRead) + " WHERE epoch != ?1 OR writes != 0");
    read.Bind(1, epoch);
    std::map<std::string, IndexedTable> tables = ReadTables(read);
    Note(read, !read.Failed());
    return tables;
}

std::optional<IndexedTable> IndexFile::Table(const std::string& name) {
    SqliteStatement read(connection_, std::string(kTablesRead) + " WHERE name = ?1");
    read.BindText(1, name);
    std::map<std::string, IndexedTable> tables = ReadTables(read);
    Note(read, !read.Failed());
    return tables.empty() ? std::nullopt : std::optional(tables.begin()->second);
}

bool IndexFile::PutTable(const std::string& name, const IndexedTable& table) {
    SqliteStatement& put = statements_->putTable;
    put.BindText(1, name).Bind(2, table.relation).Bind(3, table.state.rows).Bind(4, table.state.newest);
    put.Bind(5, table.writes).Bind(6, table.epoch);
    return Note(put, put.Run());
}

bool IndexFile::DropTable(const std::string& name) {
    const int groupNo = name.starts_with("GRP_") ? ParseIntOrZero(std::string_view(name).substr(4)) : -1;
    SqliteStatement& drop = statements_->dropTable;
    return (groupNo < 0 || DropFiles(groupNo)) && Note(drop, drop.BindText(1, name).Run());
}

bool IndexFile::PutGroups(const std::vector<GroupRecord>& rows) {
    Statements& s = *statements_;
    bool done = Note(SqliteExecute(
        connection_, "INSERT INTO group_words(group_words) VALUES('delete-all');DELETE FROM groups"));
    for (const GroupRecord& row : rows) {
        for (SqliteStatement* insert : {&s.insertGroup, &s.insertGroupWords}) {
            insert->Bind(1, ParseIntOrZero(row[kGroupN]));
            for (std::size_t i = 0; i < kSearchedGroupTexts.size(); ++i) {
                const std::string& text = row[static_cast<std::size_t>(kSearchedGroupTexts[i])];
                if (insert == &s.insertGroup) {
                    insert->BindBytes(static_cast<int>(i) + 2, text);
                } else {
                    insert->BindText(static_cast<int>(i) + 2, text);
                }
            }
            done = done && Note(*insert, insert->Run());
        }
    }
    return done;
}

bool IndexFile::DropFiles(int groupNo) {
    Statements& s = *statements_;
    const std::int64_t first = FirstFileId(groupNo);
    std::vector<std::int64_t> folders;
    bool done = true;
    s.filesOfGroup.Bind(1, first).Bind(2, first + kRowsPerGroup - 1);
    while (s.filesOfGroup.Step()) {
        s.deleteFileWords.Bind(1, s.filesOfGroup.Int(0)).BindText(2, s.filesOfGroup.Bytes(1));
        done = done && Note(s.deleteFileWords, s.deleteFileWords.Run());
        if (folders.empty() || folders.back() != s.filesOfGroup.Int(2)) {
            folders.push_back(s.filesOfGroup.Int(2));
        }
    }
    done = done && Note(s.filesOfGroup, !s.filesOfGroup.Failed());
    s.filesOfGroup.Reset();
    done = done && Note(s.deleteFiles, s.deleteFiles.Bind(1, first).Bind(2, first + kRowsPerGroup - 1).Run());
    // A folder no registration names any more is forgotten with its words.
    for (const std::int64_t folder : folders) {
        const bool used = s.folderUsed.Bind(1, folder).Step();
        s.folderUsed.Reset();
        if (used || !s.folderPath.Bind(1, folder).Step()) {
            s.folderPath.Reset();
            continue;
        }
        s.deleteFolderWords.Bind(1, folder).BindText(2, s.folderPath.Bytes(0));
        s.folderPath.Reset();
        done = done && Note(s.deleteFolderWords, s.deleteFolderWords.Run()) &&
               Note(s.deleteFolder, s.deleteFolder.Bind(1, folder).Run());
        if (s.lastFolderId == folder) {
            s.lastFolderId = 0;
            s.lastFolder.clear();
        }
    }
    return done;
}

std::int64_t IndexFile::FolderId(const std::string& folder) {
    Statements& s = *statements_;
    if (s.lastFolderId != 0 && s.lastFolder == folder) {
        return s.lastFolderId;
    }
    std::int64_t id = 0;
    if (s.findFolder.BindBytes(1, folder).Step()) {
        id = s.findFolder.Int(0);
    }
    s.findFolder.Reset();
    if (id == 0 && Note(s.insertFolder, s.insertFolder.BindBytes(1, folder).Run())) {
        id = sqlite3_last_insert_rowid(connection_);
        if (!Note(s.insertFolderWords, s.insertFolderWords.Bind(1, id).BindText(2, folder).Run())) {
            id = 0;
        }
    }
    s.lastFolder = folder;
    s.lastFolderId = id;
    return id;
}

bool IndexFile::PutFiles(int groupNo, const std::vector<FileRecord>& rows) {
    Statements& s = *statements_;
    bool done = DropFiles(groupNo);
    std::int64_t id = FirstFileId(groupNo);
    for (const FileRecord& row : rows) {
        const std::int64_t folder = FolderId(row[kFilePath]);
        s.insertFile.Bind(1, id).Bind(2, ParseIntOrZero(row[kFileN])).BindBytes(3, row[kFileName]);
        done = done && folder != 0 && Note(s.insertFile, s.insertFile.Bind(4, folder).Run()) &&
               Note(s.insertFileWords, s.insertFileWords.Bind(1, id).BindText(2, row[kFileName]).Run());
        ++id;
    }
    return done;
}

std::optional<std::string> IndexFile::GroupName(int number) {
    SqliteStatement read(connection_, "SELECT name FROM groups WHERE n = ?1");
    read.Bind(1, number);
    std::optional<std::string> name;
    if (read.Step()) {
        name = read.Bytes(0);
    }
    Note(read, !read.Failed());
    return name;
}

std::vector<GroupRecord> IndexFile::GroupsMatching(const std::string& query) {
    std::vector<GroupRecord> groups;
    SqliteStatement read(connection_,
                         "SELECT n, name, main, sub, author, memo1, memo2, memo3 FROM groups WHERE n IN"
                         " (SELECT rowid FROM group_words WHERE group_words MATCH ?1) ORDER BY n");
    read.BindText(1, query);
    while (read.Step()) {
        GroupRecord& row = groups.emplace_back();
        row[kGroupN] = std::to_string(read.Int(0));
        for (std::size_t i = 0; i < kSearchedGroupTexts.size(); ++i) {
            row[static_cast<std::size_t>(kSearchedGroupTexts[i])] = read.Bytes(static_cast<int>(i) + 1);
        }
    }
    Note(read, !read.Failed());
    return groups;
}

std::vector<IndexedFile> IndexFile::FilesMatching(const std::string& nameQuery,
                                                  const std::string& folderQuery) {
    std::vector<IndexedFile> files;
    std::string where;
    if (!nameQuery.empty()) {
        where = "f.id IN (SELECT rowid FROM file_words WHERE file_words MATCH ?1)";
    }
    if (!folderQuery.empty()) {
        where += (where.empty() ? "" : " OR ") +
                 std::string("f.folder IN (SELECT rowid FROM folder_words WHERE folder_words MATCH ?2)");
    }
    if (where.empty()) {
        return files;
    }
    SqliteStatement read(
        connection_,
        "SELECT f.id, f.n, f.name, d.path, g.name FROM files f JOIN folders d ON d.id = f.folder"
        " JOIN groups g ON g.n = f.id >> 32 WHERE (" +
            where + ") ORDER BY f.id");
    if (!nameQuery.empty()) {
        read.BindText(1, nameQuery);
    }
    if (!folderQuery.empty()) {
        read.BindText(2, folderQuery);
    }
    while (read.Step()) {
        files.push_back({static_cast<int>(read.Int(0) / kRowsPerGroup), static_cast<int>(read.Int(1)),
                         read.Bytes(2), read.Bytes(3), read.Bytes(4)});
    }
    Note(read, !read.Failed());
    return files;
}

std::uintmax_t IndexFile::SizeOnDisk() const {
    std::uintmax_t size = 0;
    std::error_code error;
    for (const char* suffix : {"", "-wal"}) {
        const std::uintmax_t part = fs::file_size(fs::path(path_.string() + suffix), error);
        size += error ? 0 : part;
    }
    return size;
}
