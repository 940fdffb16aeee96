#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "common/codepage.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/schema.h"
#include "support/test_database.h"

TEST(Database, createsAttachesAndFindsTables) {
    TestDatabaseLocation location;
    Database db(location.settings());
    std::vector<std::string> sent;
    db.SetStatementTrace([&](const std::string& text) { sent.push_back(text); });
    std::string lastError;
    db.SetErrorHook([&](const std::string& op, const std::string& msg) { lastError = op + ": " + msg; });
    db.CreateDatabase();
    ASSERT_TRUE(db.Attached()) << lastError;
    EXPECT_FALSE(db.TableExists("GRPQRT"));
    EXPECT_TRUE(CreateGroupTable(db)) << lastError;
    EXPECT_TRUE(db.TableExists("grpqrt"));
    EXPECT_EQ(db.SelectMax("GRPQRT", "N", ""), "");
    const std::vector<std::string> cols(GroupColumnNames().begin(), GroupColumnNames().end());
    std::vector<std::string> values{"1",    "'A'",  "NULL", "NULL", "NULL", "NULL",
                                    "NULL", "NULL", "NULL", "0",    "-5"};
    EXPECT_TRUE(db.InsertRow("GRPQRT", cols, values)) << lastError;
    EXPECT_EQ(db.SelectMax("GRPQRT", "N", ""), "1") << lastError;
    EXPECT_EQ(db.OpenSelect("*", "GRPQRT", "", "N"), 1) << lastError;
    GroupRecord row;
    db.ReadFirstRow(row);
    EXPECT_EQ(row[1], "A");
    EXPECT_EQ(row[10], "-5");
    db.CloseResult();
}

TEST(Database, createSendsThePathAndTheCreationLines) {
    TestDatabaseLocation location;
    ConnectionSettings settings = location.settings();
    // A quote in the folder stays inside the path's literal.
    settings.dataFolder += "o'clock/";
    std::filesystem::create_directory(settings.dataFolder);
    Database db(settings);
    std::vector<std::string> sent;
    db.SetStatementTrace([&](const std::string& text) { sent.push_back(text); });
    db.CreateDatabase();
    EXPECT_TRUE(db.Attached());
    const std::string quotedPath = settings.serverPrefix + location.folder() + "o''clock/TEST.FDB";
    EXPECT_EQ(
        sent,
        (std::vector<std::string>{"CREATE DATABASE '" + quotedPath +
                                  "' USER \"SYSDBA\"\r\nPASSWORD \"riverbank\"\r\nPAGE_SIZE 4096\r\n"}));
    EXPECT_TRUE(std::filesystem::exists(settings.dataFolder + "TEST.FDB"));
}

// Also run by ctest in a session whose locale is C (see tests.cmake).
TEST(Database, aJapaneseFolderAndFileNameAreCreatedAndAttached) {
    TestDatabaseLocation location;
    const std::string folder = location.folder() + "図面データ/";
    std::filesystem::create_directory(folder);
    ConnectionSettings settings = location.settings();
    settings.dataFolder = Cp932(folder);
    settings.databaseName = Cp932("図面.FDB");
    {
        Database db(settings);
        db.CreateDatabase();
        EXPECT_TRUE(db.Attached());
    }
    Database again(settings);
    again.ConnectDatabase();
    EXPECT_TRUE(again.Attached());
    EXPECT_TRUE(std::filesystem::exists(folder + "図面.FDB"));
}

TEST(Database, detachedConnectionAnswersEveryFailureValue) {
    TestDatabaseLocation location;
    Database db(location.settings());
    std::vector<std::string> sent;
    db.SetStatementTrace([&](const std::string& text) { sent.push_back(text); });
    db.ConnectDatabase();  // there is no database file yet
    ASSERT_FALSE(db.Attached());

    const std::vector<std::string> columns{"N"};
    const std::vector<std::string> values{"1"};
    EXPECT_FALSE(db.ExecuteScript({}));
    EXPECT_FALSE(db.InsertRow("T", columns, values));
    EXPECT_FALSE(db.UpdateColumns("T", columns, values, ""));
    EXPECT_FALSE(db.UpdateSet("T", "N=1", ""));
    EXPECT_FALSE(db.DeleteRows("T", ""));
    EXPECT_EQ(db.CountRows("T", ""), -1);
    EXPECT_EQ(db.CountColumns("T"), -1);
    EXPECT_EQ(db.SelectMax("T", "N", ""), "");
    EXPECT_EQ(db.OpenSelect("*", "T", "", ""), 0);
    EXPECT_FALSE(db.TableExists("T"));
    EXPECT_TRUE(sent.empty());
    // These two try the statement and fail on it.
    EXPECT_FALSE(db.ExecuteScript({"CREATE TABLE T (N INTEGER);"}));
    EXPECT_FALSE(db.DropTable("T"));
    EXPECT_EQ(sent.size(), 2u);

    FileRecord row{"kept", "kept", "kept"};
    db.ReadColumnNames(row);
    db.ReadFirstRow(row);
    db.ReadNextRow(row);
    EXPECT_EQ(row, (FileRecord{"kept", "kept", "kept"}));
    db.CloseResult();
    db.CloseStatement();
    db.DisconnectDatabase();
    db.DisconnectDatabase();
    EXPECT_FALSE(db.Attached());
}

TEST(Database, unreachableServerOrMissingFolderLeavesItDetached) {
    TestDatabaseLocation location;
    ConnectionSettings settings = location.settings();
    Database db(settings);
    settings.serverPrefix = "127.0.0.1/1:";  // nothing listens there
    db.ConnectDatabase();
    EXPECT_FALSE(db.Attached());
    db.CreateDatabase();
    EXPECT_FALSE(db.Attached());

    settings.serverPrefix = location.settings().serverPrefix;
    settings.dataFolder = location.folder() + "missing/";
    db.CreateDatabase();
    EXPECT_FALSE(db.Attached());
    EXPECT_FALSE(std::filesystem::exists(settings.dataFolder));
}

TEST(Database, connectWhenAttachedChangesNothing) {
    TestDatabaseLocation location;
    ConnectionSettings settings = location.settings();
    Database db(settings);
    db.CreateDatabase();
    ASSERT_TRUE(db.Attached());
    ASSERT_TRUE(db.ExecuteScript({"CREATE TABLE MARK (N INTEGER);"}));

    settings.databaseName = "OTHER.FDB";
    db.ConnectDatabase();
    EXPECT_TRUE(db.TableExists("MARK"));  // still the first database

    db.DisconnectDatabase();
    db.ConnectDatabase();  // now the new name counts, and there is no such file
    EXPECT_FALSE(db.Attached());

    settings.databaseName = location.settings().databaseName;
    db.ConnectDatabase();
    EXPECT_TRUE(db.Attached());
    EXPECT_TRUE(db.TableExists("mark"));
}

TEST(Database, createOnAnExistingDatabaseFailsSilentlyAndLeavesItDetached) {
    TestDatabaseLocation location;
    {
        Database first(location.settings());
        first.CreateDatabase();
        ASSERT_TRUE(first.Attached());
        ASSERT_TRUE(first.ExecuteScript({"CREATE TABLE MARK (N INTEGER);"}));
    }
    Database second(location.settings());
    std::string error;
    second.SetErrorHook([&](const std::string& operation, const std::string&) { error = operation; });
    second.CreateDatabase();
    EXPECT_FALSE(second.Attached());
    EXPECT_EQ(error, "CreateDatabase");
    second.ConnectDatabase();
    ASSERT_TRUE(second.Attached());
    EXPECT_TRUE(second.TableExists("MARK"));  // the existing database was not replaced
}

TEST(Database, disconnectEndsAnOpenResultAndCanBeRepeated) {
    TestDatabaseLocation location;
    Database db(location.settings());
    db.CreateDatabase();
    ASSERT_TRUE(CreateFileTable(db, "GRP_1"));
    ASSERT_TRUE(db.ExecuteScript({"INSERT INTO GRP_1 VALUES (1, 'a', 'b');"}));
    ASSERT_EQ(db.OpenSelect("*", "GRP_1", "", ""), 1);

    db.DisconnectDatabase();
    db.DisconnectDatabase();
    EXPECT_FALSE(db.Attached());
    FileRecord row{"kept", "kept", "kept"};
    db.ReadFirstRow(row);
    EXPECT_EQ(row[0], "kept");

    db.ConnectDatabase();
    ASSERT_TRUE(db.Attached());
    db.ReadFirstRow(row);  // the old result did not come back
    EXPECT_EQ(row[0], "kept");
    EXPECT_EQ(db.CountRows("GRP_1", ""), 1);
    ASSERT_EQ(db.OpenSelect("*", "GRP_1", "", ""), 1);
    // Leaving with a result open is as safe as disconnecting.
}

TEST(Database, connectionThatGoesAwayAnswersFailureValuesUntilReattached) {
    TestDatabaseLocation location;
    Database db(location.settings());
    db.CreateDatabase();
    ASSERT_TRUE(CreateFileTable(db, "GRP_1"));
    const std::string id = db.SelectMax("RDB$DATABASE", "CURRENT_CONNECTION", "");
    ASSERT_EQ(db.OpenSelect("*", "GRP_1", "", ""), 0);

    // Another connection ends this one, as a server shutting down would.
    Database admin(location.settings());
    admin.ConnectDatabase();
    ASSERT_TRUE(admin.DeleteRows("MON$ATTACHMENTS", "MON$ATTACHMENT_ID = " + id));

    EXPECT_EQ(db.CountRows("GRP_1", ""), -1);
    EXPECT_EQ(db.SelectMax("GRP_1", "N", ""), "");
    EXPECT_FALSE(db.ExecuteScript({"INSERT INTO GRP_1 VALUES (1, 'a', 'b');"}));
    EXPECT_FALSE(db.TableExists("GRP_1"));
    db.DisconnectDatabase();
    EXPECT_FALSE(db.Attached());
    db.ConnectDatabase();
    ASSERT_TRUE(db.Attached());
    EXPECT_EQ(db.CountRows("GRP_1", ""), 0);
}

TEST(Database, createdDatabaseIsDialectThreeWithPagesOfFourKilobytes) {
    TestDatabaseLocation location;
    Database db(location.settings());
    db.CreateDatabase();
    ASSERT_TRUE(db.Attached());
    // The database's own record of itself, not the text that asked for it.
    ASSERT_EQ(db.OpenSelect("MON$SQL_DIALECT, MON$PAGE_SIZE", "MON$DATABASE", "", ""), 1);
    std::array<std::string, 2> facts;
    db.ReadFirstRow(facts);
    EXPECT_EQ(facts, (std::array<std::string, 2>{"3", "4096"}));
}
