#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "common/codepage.h"
#include "shared_database.h"
#include "storage/schema.h"
#include "storage/table_copy.h"

class TableCopy : public SharedDatabase {
protected:
    static void SetUpTestSuite() {
        SharedDatabase::SetUpTestSuite();
        ASSERT_TRUE(CreateFileTable(db(), "GRP_1"));
        ASSERT_TRUE(InsertFile("GRP_1", 1, "a.dwg", "C:\\work\\"));
        ASSERT_TRUE(InsertFile("GRP_1", 2, "O'Brien.dwg", ""));
        ASSERT_TRUE(InsertFile("GRP_1", 5, Cp932("表.dwg"), Cp932("C:\\図面\\ソ\\")));
        ASSERT_TRUE(CreateFileTable(db(), "GRP_EMPTY"));
    }

    // The target of a test, filled with rows the copy must replace.
    static void MakeTarget(const std::string& name) {
        ASSERT_TRUE(CreateFileTable(db(), name));
        ASSERT_TRUE(InsertFile(name, 1, "old.dwg", "Z:\\"));
        ASSERT_TRUE(InsertFile(name, 9, "extra.dwg", "Z:\\"));
    }
};

TEST_F(TableCopy, neverCopiesATableOntoItselfOrWithAnEmptyName) {
    const std::vector<FileRecord> before = ReadFiles("GRP_1");
    sent.clear();
    EXPECT_FALSE(CopyTable(db(), "GRP_1", "GRP_1"));
    EXPECT_FALSE(CopyTable(db(), " grp_1 ", "GRP_1"));
    EXPECT_FALSE(CopyTable(db(), "GRP_1", "Grp_1   "));
    EXPECT_FALSE(CopyTable(db(), "", "GRP_2"));
    EXPECT_FALSE(CopyTable(db(), "GRP_1", "   "));
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(ReadFiles("GRP_1"), before);
}

TEST_F(TableCopy, createsTheTargetKeepingNumbersGapsAndNulls) {
    EXPECT_TRUE(CopyTable(db(), " GRP_1", "GRP_2 "));
    EXPECT_TRUE(db().TableExists("GRP_2"));
    EXPECT_EQ(ReadFiles("GRP_2"), ReadFiles("GRP_1"));
    EXPECT_EQ(db().CountRows("GRP_2", "PATH_NAME IS NULL"), 1);
    EXPECT_EQ(db().SelectMax("GRP_2", "N", ""), "5");
}

TEST_F(TableCopy, replacesEveryRowOfAnExistingTarget) {
    MakeTarget("GRP_3");
    EXPECT_TRUE(CopyTable(db(), "GRP_1", "grp_3"));
    EXPECT_EQ(ReadFiles("GRP_3"), ReadFiles("GRP_1"));
    EXPECT_EQ(db().CountRows("GRP_3", "N=9"), 0);
}

TEST_F(TableCopy, emptySourceCreatesOrEmptiesTheTarget) {
    EXPECT_TRUE(CopyTable(db(), "GRP_EMPTY", "GRP_4"));
    EXPECT_TRUE(db().TableExists("GRP_4"));
    EXPECT_EQ(db().CountRows("GRP_4", ""), 0);
    MakeTarget("GRP_6");
    EXPECT_TRUE(CopyTable(db(), "GRP_EMPTY", "GRP_6"));
    EXPECT_EQ(db().CountRows("GRP_6", ""), 0);
}

TEST_F(TableCopy, missingSourceOrDetachedConnectionCopiesNothing) {
    EXPECT_FALSE(CopyTable(db(), "GRP_99", "GRP_98"));
    EXPECT_FALSE(db().TableExists("GRP_98"));

    Database detached(settings());
    EXPECT_FALSE(CopyTable(detached, "GRP_1", "GRP_97"));
    EXPECT_FALSE(db().TableExists("GRP_97"));
}

TEST_F(TableCopy, aRowTheTargetRefusesLeavesTheTargetAndTheCallersWritesAsTheyWere) {
    ASSERT_TRUE(
        db().ExecuteScript({"CREATE TABLE GRP_7 (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(6), "
                            "PATH_NAME VARCHAR(255));"}));
    ASSERT_TRUE(InsertFile("GRP_7", 3, "old", "Z:\\"));
    // "O'Brien.dwg" is too long for it.
    EXPECT_FALSE(CopyTable(db(), "GRP_1", "GRP_7", [] { return InsertFile("GRP_EMPTY", 1, "x.dwg", ""); }));
    const std::vector<FileRecord> rows = ReadFiles("GRP_7");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][kFileN], "3");
    EXPECT_EQ(db().CountRows("GRP_EMPTY", ""), 0);
}

TEST_F(TableCopy, insertsTheNumberBareTextsQuotedAndEmptyTextsAsNull) {
    ASSERT_TRUE(CreateFileTable(db(), "GRP_10"));
    ASSERT_TRUE(InsertFile("GRP_10", 7, "O'Brien.dwg", ""));
    sent.clear();
    EXPECT_TRUE(CopyTable(db(), "GRP_10", "GRP_11"));
    std::vector<std::string> inserts;
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(inserts),
                 [](const std::string& text) { return text.starts_with("INSERT"); });
    EXPECT_EQ(inserts, (std::vector<std::string>{
                           Crlf({"INSERT INTO GRP_11 (", "   N,", "   FILE_NAME,", "   PATH_NAME", "   ) ",
                                 "   VALUES (", "   7,", "   'O''Brien.dwg',", "   NULL", "   );"})}));
}
