#include "storage/services.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/database_presence.h"
#include "storage/row_census.h"
#include "storage/schema.h"
#include "support/group_library.h"
#include "support/page_damage.h"
#include "support/test_database.h"

namespace fs = std::filesystem;

namespace {

const CancelFlag kGoOn{false};

// The names in the file's folder that begin with its name: the file and any temporary one beside it.
std::vector<std::string> NamesLike(const fs::path& file) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(file.parent_path())) {
        if (const std::string name = item.path().filename().string();
            name.starts_with(file.filename().string())) {
            names.push_back(name);
        }
    }
    return names;
}

// A database of three groups with 2, 4 and 6 registrations, and its contents.
class FilledDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        contents = CreateLibrary(location.settings(), 3, 2);
        ASSERT_EQ(contents.groups.size(), 3u);
    }

    ConnectionSettings Beside(const std::string& name) const {
        ConnectionSettings settings = location.settings();
        settings.databaseName = name;
        return settings;
    }
    fs::path Local(const std::string& name) const { return fs::path(location.folder()) / name; }

    // Backs the database up into a file of this folder.
    fs::path Backup() {
        const fs::path file = Local("library.fbk");
        const ServiceOutcome outcome = BackupDatabase(location.settings(), file, kGoOn);
        EXPECT_TRUE(outcome.done) << outcome.error;
        return file;
    }

    TestDatabaseLocation location;
    LibraryContents contents;
};

}  // namespace

TEST_F(FilledDatabase, backupAndRestoreKeepEveryGroupAndRegistration) {
    const fs::path file = Backup();
    ASSERT_GT(fs::file_size(file), 0u);
    EXPECT_EQ(NamesLike(file), std::vector<std::string>{"library.fbk"});

    const ConnectionSettings copy = Beside("COPY.FDB");
    const ServiceOutcome restored = RestoreDatabase(file, copy, kGoOn);
    ASSERT_TRUE(restored.done) << restored.error;
    Database database(copy);
    database.ConnectDatabase();
    ASSERT_TRUE(database.Attached()) << database.LastError();
    EXPECT_EQ(ReadLibrary(database), contents);
    const std::optional<RowCensus> census = CountGroupRows(database);
    ASSERT_TRUE(census);
    EXPECT_EQ(census->Groups(), 3);
    EXPECT_EQ(census->Registrations(), 2 + 4 + 6);
    Database source(location.settings());
    source.ConnectDatabase();
    EXPECT_EQ(CountGroupRows(source), census);
}

TEST_F(FilledDatabase, anEditedValueChangesTheFingerprintThoughNoCountChanges) {
    Database database(location.settings());
    database.ConnectDatabase();
    const std::optional<RowCensus> before = CountGroupRows(database);
    ASSERT_TRUE(before);
    ASSERT_TRUE(database.UpdateSet("GRP_2", "PATH_NAME = '/moved/'", "N = 3"));
    const std::optional<RowCensus> after = CountGroupRows(database);
    ASSERT_TRUE(after) << database.LastError();
    EXPECT_EQ(after->Registrations(), before->Registrations());
    EXPECT_NE(after->Fingerprint(), before->Fingerprint());
    EXPECT_EQ(after->Fingerprint().size(), 16u);
}

TEST(RowCensus, aTableDigestsAsTheBackupsOfEarlierVersionsWereNamed) {
    // The digest a census of the earlier form gave for these rows (each column cast to
    // VARCHAR(100)), as Firebird computed it: backups named by it must still restore.
    TestDatabaseLocation location;
    Database database(location.settings());
    database.CreateDatabase();
    ASSERT_TRUE(CreateFileTable(database, "GRP_1")) << database.LastError();
    for (const auto& row : {FileRecord{"1", "'abc'", "NULL"}, FileRecord{"2", "'x''y'", "'/data/1/'"},
                            FileRecord{"3", "NULL", "'/data/1/'"}}) {
        ASSERT_TRUE(database.InsertRow("GRP_1", FileColumnNames(), row)) << database.LastError();
    }
    const std::optional<RowCensus> census = CountGroupRows(database);
    ASSERT_TRUE(census) << database.LastError();
    EXPECT_EQ(census->tables, (std::map<std::string, TableCensus>{{"GRP_1", TableCensus{3, "3996913596"}}}));
}

TEST(RowCensus, aLibraryOfManyGroupsIsCountedAHundredTablesAStatement) {
    TestDatabaseLocation location;
    Database database(location.settings());
    database.CreateDatabase();
    ASSERT_TRUE(CreateGroupTable(database)) << database.LastError();
    // 101 file tables and the master table: two statements' worth, each file table with one
    // registration of full-length names.
    constexpr int kGroups = 101;
    std::vector<std::string> tables{"EXECUTE BLOCK AS BEGIN"};
    std::vector<std::string> rows = tables;
    for (int group = 1; group <= kGroups; ++group) {
        tables.push_back("EXECUTE STATEMENT 'CREATE TABLE " + FileTableName(group) +
                         " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))';");
        rows.push_back("INSERT INTO " + FileTableName(group) + " VALUES (1, " + SqlText(FullFileName(group)) +
                       ", " + SqlText(FullFolder(group, 1)) + ");");
    }
    tables.push_back("END");
    rows.push_back("END");
    ASSERT_TRUE(database.ExecuteScript(tables)) << database.LastError();
    ASSERT_TRUE(database.ExecuteScript(rows)) << database.LastError();

    int sent = 0;
    database.SetStatementTrace([&](const std::string&) { ++sent; });
    const std::optional<RowCensus> census = CountGroupRows(database);
    ASSERT_TRUE(census) << database.LastError();
    EXPECT_EQ(sent, 3);  // the tables listed, then two statements of counts
    EXPECT_EQ(census->tables.size(), static_cast<std::size_t>(kGroups + 1));
    EXPECT_EQ(census->Registrations(), kGroups);
    EXPECT_EQ(census->tables.at(FileTableName(kGroups)).rows, 1);
}

TEST_F(FilledDatabase, aRestoreCancelledWhileItWritesLeavesNoDatabaseBehind) {
    {
        // Enough registrations for the restore to take a while.
        Database database(location.settings());
        database.ConnectDatabase();
        database.SetStatementDeadline(std::chrono::minutes(5));
        AddRegistrations(database, 1, 30000);
    }
    const fs::path file = Backup();
    CancelFlag cancel{false};
    std::atomic<bool> finished{false};
    // Cancelled once the service has begun writing the new database.
    std::thread canceller([&] {
        while (!finished && !cancel) {
            std::error_code error;
            if (fs::file_size(Local("COPY.FDB"), error) > 0 && !error) {
                cancel = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const ServiceOutcome outcome = RestoreDatabase(file, Beside("COPY.FDB"), cancel);
    finished = true;
    canceller.join();
    ASSERT_TRUE(cancel) << "the restore ended before it could be cancelled";
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(outcome.leftBehind.empty()) << outcome.leftBehind;
    EXPECT_FALSE(fs::exists(Local("COPY.FDB")));
}

TEST_F(FilledDatabase, restoreNeverReplacesADatabase) {
    const fs::path file = Backup();
    {
        Database database(location.settings());
        database.ConnectDatabase();
        ASSERT_TRUE(database.DeleteRows("GRP_1", ""));
    }
    LibraryContents expected = contents;
    expected.files["GRP_1"].clear();
    // A backup, and files that are none: the failed run's cleanup leaves what was there alone.
    const fs::path text = Local("notes.fbk");
    std::ofstream(text) << "These are notes, not a backup.\n";
    for (const fs::path& backup : {file, text}) {
        const ServiceOutcome restored = RestoreDatabase(backup, location.settings(), kGoOn);
        EXPECT_FALSE(restored.done) << backup;
        EXPECT_FALSE(restored.error.empty()) << backup;
        Database database(location.settings());
        database.ConnectDatabase();
        ASSERT_TRUE(database.Attached()) << backup << ": " << database.LastError();
        EXPECT_EQ(ReadLibrary(database), expected) << backup;
    }
}

TEST_F(FilledDatabase, aTruncatedBackupOrOneThatIsNoBackupIsRefusedAndCreatesNothing) {
    const fs::path file = Backup();
    const fs::path truncated = Local("truncated.fbk");
    fs::copy_file(file, truncated);
    fs::resize_file(truncated, fs::file_size(file) * 2 / 3);
    const fs::path text = Local("notes.fbk");
    std::ofstream(text) << "These are notes, not a backup.\n";

    for (const fs::path& bad : {truncated, text}) {
        const ConnectionSettings target = Beside("BAD.FDB");
        const ServiceOutcome restored = RestoreDatabase(bad, target, kGoOn);
        EXPECT_FALSE(restored.done) << bad;
        EXPECT_FALSE(restored.error.empty()) << bad;
        EXPECT_EQ(ProbeDatabase(target).state, DatabaseState::Missing) << bad;
        EXPECT_FALSE(fs::exists(Local("BAD.FDB"))) << bad;
    }
}

TEST_F(FilledDatabase, aCancelledBackupLeavesNoFile) {
    const CancelFlag cancelled{true};
    const fs::path file = Local("cancelled.fbk");
    const ServiceOutcome outcome = BackupDatabase(location.settings(), file, cancelled);
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(NamesLike(file).empty());
}

TEST_F(FilledDatabase, aBackupCancelledWhileItStreamsLeavesNoFile) {
    {
        Database database(location.settings());
        database.ConnectDatabase();
        AddRegistrations(database, 1, 100000);  // a backup long enough to be cancelled in the middle
    }
    const fs::path file = Local("cancelled.fbk");
    CancelFlag cancel{false};
    bool cancelledWhileStreaming = false;
    std::atomic<bool> finished{false};
    std::thread canceller([&] {
        while (!finished) {
            for (const std::string& name : NamesLike(file)) {
                std::error_code error;
                if (fs::file_size(Local(name), error) > 0 && !error) {
                    cancelledWhileStreaming = true;
                    cancel = true;
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const ServiceOutcome outcome = BackupDatabase(location.settings(), file, cancel);
    finished = true;
    canceller.join();
    ASSERT_TRUE(cancelledWhileStreaming);
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(NamesLike(file).empty());
}

TEST_F(FilledDatabase, aBackupIntoAFolderThatIsNotThereFailsWithoutAFile) {
    const fs::path file = Local("missing/library.fbk");
    const ServiceOutcome outcome = BackupDatabase(location.settings(), file, kGoOn);
    EXPECT_FALSE(outcome.done);
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_FALSE(fs::exists(Local("missing")));
}

TEST_F(FilledDatabase, validationFindsOverwrittenPagesAndPassesASoundDatabase) {
    const ValidationReport sound = ValidateDatabase(location.settings(), kGoOn);
    EXPECT_EQ(sound.soundness, Soundness::Sound) << sound.words;

    ASSERT_GT(DamageUserDataPages(Local("TEST.FDB")), 0);
    const ValidationReport damaged = ValidateDatabase(location.settings(), kGoOn);
    EXPECT_EQ(damaged.soundness, Soundness::Damaged) << damaged.words;
    EXPECT_NE(damaged.words.find("ERRORS"), std::string::npos) << damaged.words;
}

TEST_F(FilledDatabase, aTableAnotherConnectionIsWritingIsLeftUncheckedAndIsNoDamage) {
    ValidationReport report;
    {
        // Another desktop in the middle of a long write to group 2's registrations.
        const UncommittedWrite writing(location.settings(), 2);
        report = ValidateDatabase(location.settings(), kGoOn);
    }
    EXPECT_EQ(report.soundness, Soundness::Unknown) << report.words;
    EXPECT_EQ(report.busyTables, std::vector<std::string>{"GRP_2"}) << report.words;
    // The tables that could be locked were checked all the same.
    EXPECT_NE(report.words.find("(GRP_3) is ok"), std::string::npos) << report.words;
}

TEST_F(FilledDatabase, probeTellsAMissingFileADamagedFileAndAServerThatIsDown) {
    EXPECT_EQ(ProbeDatabase(location.settings()).state, DatabaseState::Attachable);
    EXPECT_EQ(ProbeDatabase(Beside("NONE.FDB")).state, DatabaseState::Missing);

    // A file that is no database is no damaged one; a database with a page of garbage is.
    std::ofstream(Local("GARBAGE.FDB"), std::ios::binary) << std::string(8192, '\x5a');
    const DatabaseProbe garbage = ProbeDatabase(Beside("GARBAGE.FDB"));
    EXPECT_EQ(garbage.state, DatabaseState::Format) << garbage.words;
    EXPECT_FALSE(garbage.words.empty());
    fs::copy_file(Local("TEST.FDB"), Local("DAMAGED.FDB"));
    DamagePageList(Local("DAMAGED.FDB"));
    const DatabaseProbe damaged = ProbeDatabase(Beside("DAMAGED.FDB"));
    EXPECT_EQ(damaged.state, DatabaseState::Damaged) << damaged.words;

    ConnectionSettings down = location.settings();
    down.serverPrefix = "127.0.0.1/1:";  // nothing listens on port 1
    EXPECT_EQ(ProbeDatabase(down).state, DatabaseState::Unreachable);
}
