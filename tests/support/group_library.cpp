#include "support/group_library.h"

#include <gtest/gtest.h>

#include <array>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "storage/row_walk.h"
#include "storage/schema.h"
#include "support/full_length_names.h"

std::string FullFolder(int group, int file) {
    return FullLengthText("/data/" + std::to_string(group) + "/" + std::to_string(file) + " ",
                          kFileColumnBytes, "/", true);
}

std::string FullFileName(int file) {
    return FullLengthText(Cp932("図面") + std::to_string(file) + " ", kFileColumnBytes, ".qrt", true);
}

void FillLibrary(Database& database, int groups, int filesPerGroup) {
    ASSERT_TRUE(CreateGroupTable(database)) << database.LastError();
    for (int group = 1; group <= groups; ++group) {
        // The group's texts fill their columns too; its dialogs refuse quotes.
        const std::string name = FullLengthText(Cp932("図面グループ") + std::to_string(group), 32, "", false);
        const GroupRecord values{SqlNumber(group),
                                 SqlText(name),
                                 SqlText(FullLengthText("title ", 80, "", false)),
                                 "NULL",
                                 SqlText(FullLengthText("author", 16, "", false)),
                                 "NULL",
                                 "NULL",
                                 "NULL",
                                 SqlText("icon1.ico"),
                                 SqlNumber(group * 64),
                                 SqlNumber(8)};
        ASSERT_TRUE(database.InsertRow(kGroupTable, GroupColumnNames(), values)) << database.LastError();
        ASSERT_TRUE(CreateFileTable(database, FileTableName(group))) << database.LastError();
        for (int file = 1; file <= group * filesPerGroup; ++file) {
            const FileRecord row{SqlNumber(file), SqlText(FullFileName(file)),
                                 SqlText(FullFolder(group, file))};
            ASSERT_TRUE(database.InsertRow(FileTableName(group), FileColumnNames(), row))
                << database.LastError();
        }
    }
}

void AddRegistrations(Database& database, int group, int count) {
    const std::string table = FileTableName(group);
    ASSERT_TRUE(database.ExecuteScript(
        {"EXECUTE BLOCK AS", "DECLARE I INTEGER = 0;", "BEGIN",
         "  WHILE (I < " + std::to_string(count) + ") DO", "  BEGIN",
         "    INSERT INTO " + table + " VALUES (1000000 + :I, 'bulk' || :I || '.qrt', '/bulk/');",
         "    I = I + 1;", "  END", "END"}))
        << database.LastError();
}

LibraryContents ReadLibrary(Database& database) {
    LibraryContents contents;
    GroupRecord group;
    WalkRows(database, database.OpenSelect("*", kGroupTable, "", "N"), group,
             [&] { contents.groups.push_back(group); });
    for (const GroupRecord& row : contents.groups) {
        const std::string table = FileTableName(std::stoll(row[kGroupN]));
        std::vector<FileRecord>& rows = contents.files[table];
        FileRecord file;
        WalkRows(database, database.OpenSelect("*", table, "", "N"), file, [&] { rows.push_back(file); });
    }
    database.CloseStatement();
    return contents;
}

LibraryContents CreateLibrary(const ConnectionSettings& settings, int groups, int filesPerGroup) {
    Database database(settings);
    database.CreateDatabase();
    EXPECT_TRUE(database.Attached()) << database.LastError();
    FillLibrary(database, groups, filesPerGroup);
    return ReadLibrary(database);
}

UncommittedWrite::UncommittedWrite(const ConnectionSettings& settings, int group) {
    std::promise<bool> written;
    std::future<bool> held = written.get_future();
    thread_ = std::thread([&settings, group, &written, release = release_.get_future()]() mutable {
        Database database(settings);
        database.ConnectDatabase();
        const FileRecord row{"100", SqlText(FullFileName(100)), SqlText(FullFolder(group, 100))};
        database.WriteTogether([&] {
            written.set_value(database.InsertRow(FileTableName(group), FileColumnNames(), row));
            release.wait();
            return false;
        });
    });
    EXPECT_TRUE(held.get()) << "the uncommitted write could not be made";
}

UncommittedWrite::~UncommittedWrite() {
    release_.set_value();
    thread_.join();
}
