#include <gtest/gtest.h>

#include <chrono>

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/another_desktop.h"
#include "support/file_rows.h"
#include "support/full_length_names.h"
#include "support/test_database.h"

namespace {

using namespace std::chrono_literals;

// A registration with a full-length name and folder, which two desktops change at once.
class LockWait : public ::testing::Test {
protected:
    void SetUp() override {
        db.CreateDatabase();
        ASSERT_TRUE(db.Attached()) << db.LastError();
        ASSERT_TRUE(CreateFileTable(db, FileTableName(1)));
        InsertFileRow(db, 1, 1, FullLengthName("a"), FullLengthFolder("old"));
        // A lock is waited for half the time a call may take.
        db.SetStatementDeadline(4s);
    }

    // Runs `write` here while another desktop holds an uncommitted change of the registration;
    // answers whether `write` returned before that change was committed.
    bool WhileAnotherDesktopHoldsTheRow(const std::function<void()>& write) {
        return WhileAnotherDesktopWrites(
            location.settings(),
            [](Database& other) {
                return other.UpdateSet(FileTableName(1), "PATH_NAME = " + SqlText(FullLengthFolder("theirs")),
                                       "N=1");
            },
            [&] {
                const auto started = std::chrono::steady_clock::now();
                write();
                RecordProperty("waitedMs",
                               static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    std::chrono::steady_clock::now() - started)
                                                    .count()));
            });
    }

    TestDatabaseLocation location;
    Database db{location.settings()};
};

}  // namespace

TEST_F(LockWait, aWriteThatMeetsAnotherDesktopsUncommittedChangeFailsAsAConflictAndKeepsItsConnection) {
    bool written = true;
    EXPECT_TRUE(WhileAnotherDesktopHoldsTheRow([&] {
        written = db.UpdateSet(FileTableName(1), "PATH_NAME = " + SqlText(FullLengthFolder("mine")), "N=1");
    }));
    EXPECT_FALSE(written);
    EXPECT_FALSE(db.Lost());
    EXPECT_NE(db.LastError().find("update conflicts with concurrent update"), std::string::npos)
        << db.LastError();
    // The other desktop's change stands; this connection goes on.
    EXPECT_EQ(ReadFileRows(db, 1).at(0)[kFilePath], FullLengthFolder("theirs"));
    EXPECT_TRUE(db.UpdateSet(FileTableName(1), "PATH_NAME = " + SqlText(FullLengthFolder("mine")), "N=1"));
    EXPECT_EQ(ReadFileRows(db, 1).at(0)[kFilePath], FullLengthFolder("mine"));
}

TEST_F(LockWait, aBatchThatMeetsAnotherDesktopsUncommittedChangeLeavesNoneOfItsRows) {
    bool committed = true;
    EXPECT_TRUE(WhileAnotherDesktopHoldsTheRow([&] {
        committed = db.WriteTogether([&] {
            InsertFileRow(db, 1, 2, FullLengthName("b"), FullLengthFolder("new"));
            return db.DeleteRows(FileTableName(1), "N=1");
        });
    }));
    EXPECT_FALSE(committed);
    EXPECT_FALSE(db.Lost());
    EXPECT_EQ(db.CountRows(FileTableName(1), ""), 1);
}
