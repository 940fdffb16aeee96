#include "storage/held_census.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/group_library.h"
#include "support/test_database.h"

namespace {

const CancelFlag kGoOn{false};

// A library of three groups with 2, 4 and 6 registrations of full-length names.
class HeldLibrary : public ::testing::Test {
protected:
    void SetUp() override { CreateLibrary(location.settings(), 3, 2); }

    long long RegistrationsNow() {
        Database database(location.settings());
        database.ConnectDatabase();
        const std::optional<RowCensus> census = CountGroupRows(database);
        return census ? census->Registrations() : -1;
    }

    TestDatabaseLocation location;
};

}  // namespace

TEST_F(HeldLibrary, anotherDesktopsWriteWaitsUntilReleasedAndTheCensusIsOfTheMomentHeld) {
    // Writers are held only where another process may write: through a server. In Super an embedded
    // file is this process's alone, and a write of its own windows does not wait for the census.
    const bool holds = CensusHoldsWriters(location.settings());
    HeldCensus held(location.settings(), holds, kGoOn, kServiceDeadline);
    ASSERT_TRUE(held.Begun()) << held.Words();
    ASSERT_EQ(held.Holding(), holds);
    std::atomic<bool> attached{false};
    std::atomic<bool> written{false};
    std::atomic<bool> released{false};
    std::atomic<bool> writtenOnlyOnceReleased{false};
    std::thread writer([&] {
        Database other(location.settings());
        other.ConnectDatabase();
        attached = true;
        const FileRecord row{"100", SqlText(FullFileName(100)), SqlText(FullFolder(2, 100))};
        written = other.InsertRow("GRP_2", FileColumnNames(), row);
        writtenOnlyOnceReleased = released.load();
    });
    // The writer is at its write before the wait counts, however slowly it attaches.
    while (!attached) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (holds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    } else {
        writer.join();
    }
    released = true;
    held.Release();
    if (holds) {
        writer.join();
    }
    EXPECT_TRUE(written);
    // Held exactly until the release where writers are held (not let go before by a lock time-out,
    // nor kept past it), not at all where they are not.
    EXPECT_EQ(writtenOnlyOnceReleased, holds);

    std::string words;
    const std::optional<RowCensus> census = held.Read(words);
    ASSERT_TRUE(census) << words;
    EXPECT_EQ(census->Groups(), 3);
    EXPECT_EQ(census->Registrations(), 12);
    EXPECT_EQ(RegistrationsNow(), 13);
}

TEST_F(HeldLibrary, aLongWriteElsewhereIsNotWaitedForAndTheCensusIsOfTheCommittedRows) {
    const UncommittedWrite writing(location.settings(), 2);
    HeldCensus held(location.settings(), true, kGoOn, kServiceDeadline);
    ASSERT_TRUE(held.Begun()) << held.Words();
    EXPECT_FALSE(held.Holding());
    std::string words;
    const std::optional<RowCensus> census = held.Read(words);
    ASSERT_TRUE(census) << words;
    EXPECT_EQ(census->Registrations(), 12);
}

TEST_F(HeldLibrary, aGroupDeletedElsewhereWhileTheCensusIsOpenWaitsUntilItIsCounted) {
    HeldCensus held(location.settings(), false, kGoOn, kServiceDeadline);
    ASSERT_TRUE(held.Begun()) << held.Words();
    std::atomic<bool> attached{false};
    std::atomic<bool> deleted{false};
    std::thread deleting([&] {
        Database other(location.settings());
        other.ConnectDatabase();
        attached = true;
        deleted = other.WriteTogether(
            [&] { return other.DeleteRows(kGroupTable, "N=3") && other.DropTable(FileTableName(3)); });
    });
    while (!attached) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(deleted) << "a table of the census dropped before it was counted";
    std::string words;
    const std::optional<RowCensus> census = held.Read(words);
    deleting.join();
    ASSERT_TRUE(census) << words;
    EXPECT_EQ(census->Registrations(), 12);  // group 3's six among them
    EXPECT_TRUE(deleted);
}
