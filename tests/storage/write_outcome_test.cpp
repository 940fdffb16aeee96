#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "common/sql_literal.h"
#include "shared_database.h"
#include "storage/schema.h"

// What the writers tell besides committed or not: the rows an update changed, the writes of a batch
// standing or falling together, and the program's own writes as the change watch needs them.
class WriteOutcome : public SharedDatabase {
protected:
    static void SetUpTestSuite() {
        SharedDatabase::SetUpTestSuite();
        ASSERT_TRUE(CreateFileTable(db(), "GRP_7"));
        ASSERT_TRUE(InsertFile("GRP_7", 1, "a.dwg", "/old/"));
        ASSERT_TRUE(InsertFile("GRP_7", 2, "b.dwg", "/old/"));
    }
    static inline const std::array<std::string, 1> kPath{"PATH_NAME"};
};

TEST_F(WriteOutcome, updatesSayHowManyRowsTheyChanged) {
    const std::array<std::string, 1> moved{SqlText("/new/")};
    EXPECT_EQ(db().UpdateColumnsChanged("GRP_7", kPath, moved, "N=1 AND PATH_NAME='/old/'"), 1);
    // The same registration read before that change matches nothing now.
    EXPECT_EQ(db().UpdateColumnsChanged("GRP_7", kPath, moved, "N=1 AND PATH_NAME='/old/'"), 0);
    EXPECT_EQ(db().UpdateSetChanged("GRP_7", "PATH_NAME='/x/'", ""), 2);
    EXPECT_EQ(db().UpdateSetChanged("NOPE", "PATH_NAME='/x/'", ""), -1);
    EXPECT_EQ(OpenWriteTransactions(), 0);
}

TEST_F(WriteOutcome, aBatchCommitsAllOrNothing) {
    const auto insert = [](int number) { return InsertFile("GRP_7", number, "c.dwg", "/b/"); };
    EXPECT_TRUE(db().WriteTogether([&] { return insert(10) && insert(11); }));
    EXPECT_EQ(db().CountRows("GRP_7", "N IN (10, 11)"), 2);

    // The second insert breaks the unique number: the first is not kept either.
    EXPECT_FALSE(db().WriteTogether([&] {
        insert(12);
        insert(10);
        return true;
    }));
    EXPECT_FALSE(db().WriteTogether([&] { return insert(13) && false; }));
    EXPECT_EQ(OpenWriteTransactions(), 0);
    EXPECT_EQ(db().CountRows("GRP_7", "N IN (12, 13)"), 0);

    // A read in the batch sees what the batch wrote, and what it checked is what is committed; a batch
    // inside a batch is refused.
    EXPECT_FALSE(db().WriteTogether([&] { return insert(14) && db().CountRows("GRP_7", "N=14") == 0; }));
    EXPECT_TRUE(db().WriteTogether([&] { return insert(15) && db().CountRows("GRP_7", "N=15") == 1; }));
    EXPECT_FALSE(db().WriteTogether([&] { return db().WriteTogether([] { return true; }); }));
    EXPECT_EQ(db().CountRows("GRP_7", "N IN (14, 15)"), 1);
    ASSERT_TRUE(db().DeleteRows("GRP_7", "N=15"));
}

TEST_F(WriteOutcome, readsTogetherSeeOneMomentWhateverAnotherDesktopCommitsBetweenThem) {
    Database other(settings());
    other.ConnectDatabase();
    int before = -1;
    int after = -1;
    db().ReadTogether([&] {
        before = db().CountRows("GRP_7", "");
        // Another desktop's registration committed between the two reads of one view.
        EXPECT_TRUE(other.InsertRow("GRP_7", FileColumnNames(),
                                    std::array<std::string, 3>{"30", "'e.dwg'", "'/e/'"}));
        after = db().CountRows("GRP_7", "");
        // Writes would end the moment: refused meanwhile.
        EXPECT_FALSE(InsertFile("GRP_7", 31, "e.dwg", "/e/"));
    });
    EXPECT_EQ(after, before);
    EXPECT_EQ(db().CountRows("GRP_7", ""), before + 1);
    ASSERT_TRUE(other.DeleteRows("GRP_7", "N=30"));
}

TEST_F(WriteOutcome, ownWritesOfWatchedTablesCarryTheirTransactionAndRowChange) {
    std::vector<Database::OwnWrite> told;
    db().SetWriteObserver([&](const Database::OwnWrite& write) { told.push_back(write); },
                          [](std::string_view table) { return table == "GRP_7"; });
    ASSERT_TRUE(InsertFile("GRP_7", 20, "d.dwg", "/d/"));
    // The row this desktop wrote carries the transaction it was told.
    const std::string version = db().SelectMax("GRP_7", "RDB$RECORD_VERSION", "N=20");
    ASSERT_TRUE(db().DeleteRows("GRP_7", "N >= 10"));
    ASSERT_TRUE(CreateFileTable(db(), "GRP_8"));
    ASSERT_TRUE(InsertFile("GRP_8", 1, "e.dwg", "/e/"));
    db().SetWriteObserver({});

    ASSERT_EQ(told.size(), 4u);
    EXPECT_TRUE(told[0].known);
    EXPECT_EQ(told[0].rowsAdded, 1);
    EXPECT_EQ(told[1].rowsAdded, -3);  // 10, 11 and 20
    EXPECT_GT(told[1].transaction, told[0].transaction);
    EXPECT_EQ(told[2].table, "");  // a script names no table
    EXPECT_EQ(told[3].table, "GRP_8");
    EXPECT_FALSE(told[3].known);  // not watched: nothing more was asked of the server
    EXPECT_EQ(version, std::to_string(told[0].transaction));
}

TEST(Connection, failuresKeepFirebirdsWordsAndListenersHearAttachAndDetach) {
    TestDatabaseLocation location;
    Database db(location.settings());
    std::vector<Database::ConnectionEvent> heard;
    std::shared_ptr<void> listening =
        db.Listen([&](Database::ConnectionEvent event) { heard.push_back(event); });
    db.ConnectDatabase();
    EXPECT_FALSE(db.Attached());
    EXPECT_NE(db.LastError().find("TEST.FDB"), std::string::npos) << db.LastError();

    const std::uint64_t before = db.Session();
    db.CreateDatabase();
    db.DisconnectDatabase();
    EXPECT_NE(db.Session(), before);
    listening.reset();
    db.ConnectDatabase();
    EXPECT_EQ(heard, (std::vector{Database::ConnectionEvent::Attached, Database::ConnectionEvent::Detached}));
}
