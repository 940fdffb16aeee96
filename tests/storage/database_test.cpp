#include <gtest/gtest.h>

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
    std::vector<std::string> values{"1", "'A'", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "0", "-5"};
    EXPECT_TRUE(db.InsertRow("GRPQRT", cols, values)) << lastError;
    EXPECT_EQ(db.SelectMax("GRPQRT", "N", ""), "1") << lastError;
    EXPECT_EQ(db.OpenSelect("*", "GRPQRT", "", "N"), 1) << lastError;
    GroupRecord row;
    db.ReadFirstRow(row);
    EXPECT_EQ(row[1], "A");
    EXPECT_EQ(row[10], "-5");
    db.CloseResult();
}
