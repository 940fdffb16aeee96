#include <gtest/gtest.h>

#include "common/sql_literal.h"
#include "shared_database.h"
#include "storage/schema.h"

namespace {

const std::vector<std::string> kFileColumns{"N", "FILE_NAME", "PATH_NAME"};

}  // namespace

class StatementText : public SharedDatabase {
protected:
    static void SetUpTestSuite() {
        SharedDatabase::SetUpTestSuite();
        ASSERT_TRUE(CreateGroupTable(db()));
        ASSERT_TRUE(CreateFileTable(db(), "GRP_2"));
    }
};

TEST_F(StatementText, insertRowSendsOneLinePerColumnAndValueAndKeepsTheFolderColon) {
    const std::vector<std::string> values{"4", "'a.dwg'", "'C:\\work\\'"};
    ASSERT_TRUE(db().InsertRow("GRP_2", kFileColumns, values));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], Crlf({"INSERT INTO GRP_2 (", "   N,", "   FILE_NAME,", "   PATH_NAME", "   ) ",
                             "   VALUES (", "   4,", "   'a.dwg',", "   'C:\\work\\'", "   );"}));
    const std::vector<FileRecord> rows = ReadFiles("GRP_2");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (FileRecord{"4", "a.dwg", "C:\\work\\"}));
}

TEST_F(StatementText, deleteRowsSendsOneLine) {
    db().DeleteRows("GRP_2", "");
    db().DeleteRows("GRPQRT", "N=3");
    EXPECT_EQ(sent, (std::vector<std::string>{"DELETE FROM GRP_2 ;", "DELETE FROM GRPQRT WHERE N=3 ;"}));
}

TEST_F(StatementText, updatesSendAssignmentLinesAndTheConditionOnlyWhenGiven) {
    const std::vector<std::string> columns{"GRPNAME", "MTITLE"};
    const std::vector<std::string> values{"'A'", "NULL"};
    EXPECT_TRUE(db().UpdateColumns("GRPQRT", columns, values, "N=1"));
    EXPECT_TRUE(db().UpdateColumns("GRPQRT", std::span(columns).first(1), values, ""));
    EXPECT_TRUE(db().UpdateSet("GRPQRT", "X=10, Y=20", "N=1"));
    EXPECT_TRUE(db().UpdateSet("GRPQRT", "X=0", ""));
    EXPECT_EQ(sent,
              (std::vector<std::string>{
                  Crlf({"UPDATE GRPQRT SET ", "   GRPNAME='A',", "   MTITLE=NULL", "   WHERE N=1", "   ;"}),
                  Crlf({"UPDATE GRPQRT SET ", "   GRPNAME='A'", "   ;"}),
                  Crlf({"UPDATE GRPQRT SET ", "   X=10, Y=20", "   WHERE N=1", "   ;"}),
                  Crlf({"UPDATE GRPQRT SET ", "   X=0", "   ;"}),
              }));
}

TEST_F(StatementText, updateOfNoColumnsIsSentAndRejected) {
    EXPECT_FALSE(db().UpdateColumns("GRPQRT", {}, {}, "N=1"));
    EXPECT_EQ(sent, (std::vector<std::string>{Crlf({"UPDATE GRPQRT SET ", "   WHERE N=1", "   ;"})}));
}

TEST_F(StatementText, readersSendTheirSelectLines) {
    db().CountRows("GRPQRT", "");
    db().CountRows("GRPQRT", "N>0");
    db().CountColumns("GRPQRT");
    db().SelectMax("GRP_2", "N", "");
    db().SelectMax("GRP_2", "N", "N<10");
    db().OpenSelect("*", "GRPQRT", "", "");
    db().OpenSelect("*", "GRPQRT", "N>0", "N");
    db().OpenSelect("*", "GRPQRT", "", "Y, X");
    EXPECT_EQ(sent, (std::vector<std::string>{
                        Crlf({"SELECT * ", "   FROM GRPQRT ", "   ;"}),
                        Crlf({"SELECT * ", "   FROM GRPQRT ", "   WHERE N>0 ", "   ;"}),
                        Crlf({"SELECT * ", "   FROM GRPQRT ;"}),
                        Crlf({"SELECT MAX(N) ", "   FROM GRP_2 ", "   ;"}),
                        Crlf({"SELECT MAX(N) ", "   FROM GRP_2 ", "   WHERE N<10 ", "   ;"}),
                        Crlf({"SELECT * ", "   FROM GRPQRT ", "   ;"}),
                        Crlf({"SELECT * ", "   FROM GRPQRT ", "   WHERE N>0 ", "   ORDER BY N ", "   ;"}),
                        Crlf({"SELECT * ", "   FROM GRPQRT ", "   ORDER BY Y, X ", "   ;"}),
                    }));
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(StatementText, tablesAreCreatedListedAndDroppedWithTheirOwnTexts) {
    ASSERT_TRUE(CreateFileTable(db(), "GRP_9"));
    EXPECT_TRUE(db().TableExists("GRP_9"));
    EXPECT_TRUE(db().DropTable("GRP_9"));
    EXPECT_EQ(sent, (std::vector<std::string>{
                        Crlf({"CREATE TABLE GRP_9 (", "  N INTEGER NOT NULL UNIQUE,",
                              "  FILE_NAME VARCHAR(255),", "  PATH_NAME VARCHAR(255)", "  );"}),
                        "Select RDB$RELATION_NAME from RDB$RELATIONS  where RDB$VIEW_BLR is NULL and "
                        "RDB$SYSTEM_FLAG = 0 ORDER BY RDB$RELATION_NAME",
                        "DROP TABLE GRP_9;",
                    }));
    EXPECT_FALSE(db().TableExists("GRP_9"));
}

TEST_F(StatementText, groupTableTextIsSentAsWritten) {
    EXPECT_FALSE(CreateGroupTable(db()));  // made before the first test; the text is the same
    EXPECT_EQ(sent, (std::vector<std::string>{Crlf(
                        {"CREATE TABLE GRPQRT (", "  N INTEGER NOT NULL UNIQUE,", "  GRPNAME VARCHAR(32),",
                         "  MTITLE  VARCHAR(80),", "  STITLE  VARCHAR(80),", "  PNAME   VARCHAR(16),",
                         "  MEMO1   VARCHAR(80),", "  MEMO2   VARCHAR(80),", "  MEMO3   VARCHAR(80),",
                         "  ICONP   VARCHAR(40),", "  X INTEGER,", "  Y INTEGER", "  );"})}));
}
