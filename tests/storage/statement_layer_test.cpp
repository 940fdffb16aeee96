#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "common/codepage.h"
#include "common/number.h"
#include "common/sql_literal.h"
#include "shared_database.h"
#include "storage/schema.h"

class StatementLayer : public SharedDatabase {
protected:
    static void SetUpTestSuite() {
        SharedDatabase::SetUpTestSuite();
        ASSERT_TRUE(CreateGroupTable(db()));
        ASSERT_TRUE(CreateFileTable(db(), "GRP_1"));
        ASSERT_TRUE(InsertFile("GRP_1", 1, "a.dwg", "C:\\work\\"));
        ASSERT_TRUE(InsertFile("GRP_1", 2, "b.dwg", ""));
        ASSERT_TRUE(InsertFile("GRP_1", -3, "", "D:\\"));
    }
};

TEST_F(StatementLayer, missingTableGivesFailureValuesAndLeavesNoResultOpen) {
    ASSERT_EQ(db().OpenSelect("*", "GRP_1", "", ""), 3);
    EXPECT_EQ(db().OpenSelect("*", "NOPE", "", ""), 0);
    FileRecord row{"kept", "kept", "kept"};
    db().ReadColumnNames(row);
    db().ReadFirstRow(row);
    db().ReadNextRow(row);
    EXPECT_EQ(row, (FileRecord{"kept", "kept", "kept"}));

    EXPECT_EQ(db().CountRows("NOPE", ""), -1);
    EXPECT_EQ(db().CountColumns("NOPE"), -1);
    EXPECT_EQ(db().SelectMax("NOPE", "N", ""), "");
    EXPECT_EQ(db().SelectMax("GRP_1", "NO_SUCH_COLUMN", ""), "");
    const std::vector<std::string> columns{"N"};
    const std::vector<std::string> values{"9"};
    EXPECT_FALSE(db().InsertRow("NOPE", columns, values));
    EXPECT_FALSE(db().UpdateColumns("NOPE", columns, values, ""));
    EXPECT_FALSE(db().UpdateSet("NOPE", "N=9", ""));
    EXPECT_FALSE(db().DeleteRows("NOPE", ""));
    EXPECT_FALSE(db().DropTable("NOPE"));
    EXPECT_FALSE(db().ExecuteScript({"this is no statement"}));
    EXPECT_EQ(errors.size(), 11u);
    EXPECT_EQ(db().CountRows("GRP_1", ""), 3);  // the connection is still fine
}

TEST_F(StatementLayer, failedWriteLeavesNothingUncommitted) {
    // The first insert succeeds inside the statement, the second breaks the unique number.
    EXPECT_FALSE(db().ExecuteScript({"EXECUTE BLOCK AS BEGIN", "  INSERT INTO GRP_1 (N) VALUES (100);",
                                     "  INSERT INTO GRP_1 (N) VALUES (1);", "END"}));
    EXPECT_EQ(OpenWriteTransactions(), 0);
    EXPECT_EQ(db().CountRows("GRP_1", "N=100"), 0);

    // GRPNAME holds 32 bytes: sixteen double-byte characters fit, one byte more does not.
    const std::string sixteen = Cp932("設計部の山田太郎設計部の山田太郎");
    const std::vector<std::string> columns{"N", "GRPNAME"};
    EXPECT_FALSE(db().InsertRow(kGroupTable, columns, std::vector<std::string>{"1", SqlText(sixteen + "x")}));
    EXPECT_EQ(OpenWriteTransactions(), 0);
    EXPECT_EQ(db().CountRows(kGroupTable, ""), 0);
    EXPECT_TRUE(db().InsertRow(kGroupTable, columns, std::vector<std::string>{"1", SqlText(sixteen)}));
    ASSERT_EQ(db().OpenSelect("*", kGroupTable, "", ""), 1);
    GroupRecord group;
    db().ReadFirstRow(group);
    EXPECT_EQ(group[kGroupName], sixteen);
    EXPECT_TRUE(db().DeleteRows(kGroupTable, ""));
}

// A transaction that has read a table keeps every other connection from dropping it: another
// desktop deleting that group, or the program's own second connection, would wait for good.
TEST_F(StatementLayer, aReadHoldsNoTableFromAnotherConnectionOnceItsCommandIsDone) {
    ASSERT_TRUE(CreateFileTable(db(), "GRP_8"));
    EXPECT_EQ(db().CountRows("GRP_8", ""), 0);
    EXPECT_TRUE(db().TableExists("GRP_8"));
    EXPECT_EQ(db().OpenSelect("*", "GRP_8", "", ""), 0);
    db().CloseResult();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (OpenTransactions() != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(OpenTransactions(), 0);
    Database other(settings());
    other.ConnectDatabase();
    EXPECT_TRUE(other.DropTable("GRP_8"));
    EXPECT_FALSE(db().TableExists("GRP_8"));
}

TEST_F(StatementLayer, tableExistsIgnoresCaseButCountsNoViewsOrSystemTables) {
    EXPECT_TRUE(db().TableExists("GRP_1"));
    EXPECT_TRUE(db().TableExists("grp_1"));
    EXPECT_TRUE(db().TableExists("grpQRT"));
    EXPECT_FALSE(db().TableExists("GRP_"));
    EXPECT_FALSE(db().TableExists("GRP_10"));
    EXPECT_FALSE(db().TableExists(""));
    EXPECT_FALSE(db().TableExists("RDB$RELATIONS"));
    ASSERT_TRUE(db().ExecuteScript({"CREATE VIEW GRP_VIEW AS SELECT * FROM GRP_1;"}));
    EXPECT_FALSE(db().TableExists("GRP_VIEW"));
    EXPECT_TRUE(db().ExecuteScript({"DROP VIEW GRP_VIEW;"}));
}

TEST_F(StatementLayer, tableExistsDoesNotDisturbTheOpenResult) {
    ASSERT_EQ(db().OpenSelect("*", "GRP_1", "", "N"), 3);
    FileRecord row;
    db().ReadFirstRow(row);
    EXPECT_EQ(row[kFileN], "-3");
    EXPECT_TRUE(db().TableExists("GRP_1"));
    db().ReadNextRow(row);
    EXPECT_EQ(row[kFileN], "1");
}

TEST_F(StatementLayer, selectMaxOfAnEmptyTableIsEmptySoTheNextNumberIsOne) {
    ASSERT_TRUE(CreateFileTable(db(), "GRP_5"));
    EXPECT_EQ(db().SelectMax("GRP_5", "N", ""), "");
    EXPECT_EQ(ParseIntOrZero(db().SelectMax("GRP_5", "N", "")) + 1, 1);
    ASSERT_TRUE(InsertFile("GRP_5", 7, "x", ""));
    EXPECT_EQ(db().SelectMax("GRP_5", "N", ""), "7");
    EXPECT_EQ(db().SelectMax("GRP_5", "N", "N>7"), "");
    EXPECT_TRUE(db().DropTable("GRP_5"));
}

TEST_F(StatementLayer, countersAndLargestValueEndTheOpenResultAndKeepNoRows) {
    EXPECT_EQ(db().CountColumns("GRP_1"), 3);
    EXPECT_EQ(db().CountColumns(kGroupTable), 11);  // no rows at all
    EXPECT_EQ(db().CountRows("GRP_1", "N>0"), 2);
    EXPECT_EQ(db().SelectMax("GRP_1", "FILE_NAME", ""), "b.dwg");
    EXPECT_EQ(db().SelectMax("GRP_1", "N", "N<2"), "1");
    for (const std::function<void()>& counter : std::vector<std::function<void()>>{
             [] { db().CountRows("GRP_1", ""); }, [] { db().CountColumns("GRP_1"); },
             [] { db().SelectMax("GRP_1", "N", ""); }}) {
        ASSERT_EQ(db().OpenSelect("*", "GRP_1", "", "N"), 3);
        counter();
        FileRecord row{"kept", "kept", "kept"};
        db().ReadColumnNames(row);
        db().ReadFirstRow(row);
        EXPECT_EQ(row, (FileRecord{"kept", "kept", "kept"}));
    }
}

TEST_F(StatementLayer, rowReadersGiveTextsAndEmptyPastTheEnd) {
    ASSERT_EQ(db().OpenSelect("*", "GRP_1", "", "N"), 3);
    std::array<std::string, 3> names;
    db().ReadColumnNames(names);
    EXPECT_EQ(names, FileColumnNames());

    // Two entries more than the result has columns: they are never written.
    std::array<std::string, 5> row{"", "", "", "beyond", "beyond"};
    db().ReadFirstRow(row);
    EXPECT_EQ(row, (std::array<std::string, 5>{"-3", "", "D:\\", "beyond", "beyond"}));
    db().ReadNextRow(row);
    EXPECT_EQ(row, (std::array<std::string, 5>{"1", "a.dwg", "C:\\work\\", "beyond", "beyond"}));
    db().ReadNextRow(row);
    EXPECT_EQ(row, (std::array<std::string, 5>{"2", "b.dwg", "", "beyond", "beyond"}));  // NULL as empty
    db().ReadNextRow(row);
    EXPECT_EQ(row, (std::array<std::string, 5>{"", "", "", "beyond", "beyond"}));
    db().ReadNextRow(row);
    EXPECT_EQ(row[0], "");

    std::array<std::string, 2> shortRow;  // fewer entries than columns: only those are filled
    db().ReadFirstRow(shortRow);
    EXPECT_EQ(shortRow, (std::array<std::string, 2>{"-3", ""}));

    db().CloseResult();
    db().ReadFirstRow(row);
    EXPECT_EQ(row[0], "");
    row[0] = "kept";
    db().ReadNextRow(row);
    EXPECT_EQ(row[0], "kept");
}

TEST_F(StatementLayer, readFirstRowOfAnEmptyResultEmptiesTheEntries) {
    ASSERT_EQ(db().OpenSelect("*", "GRP_1", "N>100", ""), 0);
    FileRecord row{"x", "y", "z"};
    db().ReadFirstRow(row);
    EXPECT_EQ(row, (FileRecord{"", "", ""}));
}

TEST_F(StatementLayer, textsWithQuotesAndDoubleByteCharactersRoundTrip) {
    const std::string name = "it's 'quoted' \"twice\".dwg";
    const std::string folder = Cp932("C:\\図面\\ソフト表\\");
    ASSERT_TRUE(InsertFile("GRP_1", 10, name, folder));
    const std::vector<FileRecord> rows = ReadFiles("GRP_1");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3], (FileRecord{"10", name, folder}));
    EXPECT_TRUE(db().DeleteRows("GRP_1", "N=10"));
    EXPECT_EQ(db().CountRows("GRP_1", ""), 3);
}

TEST_F(StatementLayer, groupRowWithNullPositionReadsAsEmptyTexts) {
    const std::vector<std::string> columns{"N", "GRPNAME", "PNAME"};
    ASSERT_TRUE(
        db().InsertRow(kGroupTable, columns, std::vector<std::string>{"4", "'G'", SqlText(Cp932("作成者"))}));
    ASSERT_EQ(db().OpenSelect("*", kGroupTable, "N=4", ""), 1);
    GroupRecord group;
    group.fill("stale");
    db().ReadFirstRow(group);
    EXPECT_EQ(group, (GroupRecord{"4", "G", "", "", Cp932("作成者"), "", "", "", "", "", ""}));
    EXPECT_TRUE(db().DeleteRows(kGroupTable, "N=4"));
}
