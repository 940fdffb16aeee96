#include <sqlite3.h>
#include <sys/stat.h>

#include <QFile>

#include <fstream>
#include <set>

#include "index_fixture.h"
#include "search/sqlite_statement.h"
#include "storage/schema.h"

namespace {

namespace fs = std::filesystem;

// Groups 1 and 2, each with a file that holds "target", made into an index.
class IndexFileTest : public IndexTest {
protected:
    void SetUp() override {
        AddGroup(1, "G1");
        AddGroup(2, "G2");
        CreateFileTables({1, 2});
        AddFile(1, 1, "target1.dwg", "/d/");
        AddFile(2, 1, "target2.dwg", "/d/");
        MakeIndex();
    }
    fs::perms Permissions(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }
};

// Ways a file at the index's place is not the index it should be.
void DamagePage(const fs::path& file) {
    // A page in the middle of the tables, as a disk's fault or a torn copy leaves it.
    std::fstream damaged(file, std::ios::in | std::ios::out | std::ios::binary);
    damaged.seekp(static_cast<std::streamoff>(fs::file_size(file) / 2 / 4096 * 4096));
    damaged << std::string(4096, '\x5c');
}
void Overwrite(const fs::path& file) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "not an index of anybody's";
}
// Runs `statements` on the file as another program would.
bool Change(const fs::path& file, const char* statements) {
    sqlite3* connection = nullptr;
    sqlite3_open(file.c_str(), &connection);
    const bool changed = SqliteExecute(connection, statements);
    sqlite3_close(connection);
    return changed;
}

bool LeftBehind(const fs::path& file) {
    sqlite3* connection = nullptr;
    sqlite3_open(file.c_str(), &connection);
    bool left = false;
    {
        SqliteStatement read(connection, "SELECT 1 FROM about WHERE key = 'left'");
        left = read.Step();
    }
    sqlite3_close(connection);
    return left;
}

TEST_F(IndexFileTest, aDamagedOldOrForeignFileIsMadeAnewForItsUserAlone) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> spoil;
    } cases[] = {
        {"a damaged page", DamagePage},
        {"not an index", Overwrite},
        {"another format", [](const fs::path& file) { Change(file, "PRAGMA user_version=0"); }},
        {"another database's",
         [](const fs::path& file) {
             Change(file, "UPDATE about SET value = 'elsewhere' WHERE key = 'database'");
         }},
    };
    // Made in a cache folder as a desktop session has it: only the indexes' own folder is closed.
    const fs::path cacheRoot = QFile::encodeName(cache.path()).toStdString();
    upkeep.Leave();
    fs::remove_all(cacheRoot / "qarto-groups");
    fs::permissions(cacheRoot, fs::perms(0755));
    const mode_t usual = umask(022);
    MakeIndex();
    umask(usual);
    const fs::path file = view.path;
    ASSERT_EQ(Permissions(file), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(Permissions(file.parent_path()), fs::perms::owner_all);
    EXPECT_EQ(Permissions(file.parent_path().parent_path()), fs::perms(0755));
    EXPECT_EQ(Permissions(cacheRoot), fs::perms(0755));
    for (const auto& spoiled : cases) {
        SCOPED_TRACE(spoiled.what);
        upkeep.Leave();
        // Gone once the file is made anew.
        ASSERT_TRUE(Change(file, "INSERT INTO about VALUES('left', 'behind')"));
        spoiled.spoil(file);
        MakeIndex();
        EXPECT_FALSE(LeftBehind(file));
        EXPECT_EQ(Permissions(file), fs::perms::owner_read | fs::perms::owner_write);
        const SearchOutcome found = FindIndexed(SearchNeedle("target"));
        EXPECT_TRUE(found.indexed);
        EXPECT_EQ(found.hits.size(), 2u);
    }
}

TEST_F(IndexFileTest, aSwitchedOrRestoredDatabaseIsSearchedInAnIndexOfItsOwn) {
    const fs::path first = view.path;
    TestDatabaseLocation second;
    {
        Database filler(second.settings());
        filler.CreateDatabase();
        ASSERT_TRUE(CreateGroupTable(filler) && CreateFileTable(filler, FileTableName(1)));
        InsertGroupRow(filler, 1, "G1", "", 0, 0);
        ASSERT_TRUE(filler.InsertRow(FileTableName(1), FileColumnNames(),
                                     std::array<std::string, 3>{"1", "'target3.dwg'", "'/d/'"}));
    }
    // Restored from an older backup: a database made anew at the same place, whose only file table
    // looks as group 1's did (one row), holding another file.
    const auto restore = [&] {
        for (Database* connection : {&watch, &keeper, &searcher, &other}) {
            connection->DisconnectDatabase();
        }
        fs::remove(location.folder() + "TEST.FDB");
        other.CreateDatabase();
        ASSERT_TRUE(CreateGroupTable(other));
        AddGroup(1, "G1");
        CreateFileTables({1});
        AddFile(1, 1, "target4.dwg", "/d/");
    };
    const struct {
        const char* what;
        std::function<void()> move;
        bool atFirst;
        bool firstKept;  // the first database's index file kept, not made anew
        std::set<std::string> found;
    } cases[] = {
        {"another database", [&] { settings = second.settings(); }, false, true, {"target3.dwg"}},
        {"the first again",
         [&] { settings = location.settings(); },
         true,
         true,
         {"target1.dwg", "target2.dwg"}},
        {"the first restored", restore, true, false, {"target4.dwg"}},
    };
    ASSERT_TRUE(Change(first, "INSERT INTO about VALUES('left', 'behind')"));
    for (const auto& step : cases) {
        SCOPED_TRACE(step.what);
        step.move();
        Reconnect();
        Look();
        MakeIndex();
        EXPECT_EQ(view.path == first, step.atFirst);
        EXPECT_EQ(LeftBehind(first), step.firstKept);
        const SearchOutcome found = FindIndexed(SearchNeedle("target"));
        EXPECT_TRUE(found.indexed);
        std::set<std::string> names;
        for (const SearchHit& hit : found.hits) {
            names.insert(hit.fileName);
        }
        EXPECT_EQ(names, step.found);
    }
}

}  // namespace
