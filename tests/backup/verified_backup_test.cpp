#include "backup/verified_backup.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/held_census.h"
#include "storage/schema.h"
#include "support/group_library.h"
#include "support/small_filesystem.h"
#include "support/test_database.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kDay = 24 * 3600;
constexpr std::int64_t kHour = 3600;

// A database of three groups with 2, 4 and 6 registrations and a folder for its backups.
class VerifiedBackup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CreateLibrary(location.settings(), 3, 2).groups.size(), 3u); }

    BackupJob Job(std::int64_t at, bool onlyWhenDue = false) const {
        return BackupJob{location.settings(), folder(), fs::temp_directory_path(), at, onlyWhenDue};
    }
    fs::path folder() const { return fs::path(backups.path().toStdString()) / "QRTDB"; }
    BackupReport Run(const BackupJob& job) {
        const CancelFlag goOn{false};
        return MakeVerifiedBackup(job, goOn, [](BackupStage) {});
    }
    // Backups as another run left them (their contents do not matter to the rule), `days` before now.
    std::set<std::string> PlaceOlder(std::initializer_list<int> days) {
        fs::create_directories(folder());
        std::set<std::string> names;
        for (const int day : days) {
            const std::string name =
                BackupFileName(BackupEntry{{}, now - day * kDay, 3, 12, "0123456789abcdef"});
            std::ofstream(folder() / name) << "older backup";
            names.insert(name);
        }
        return names;
    }
    std::set<std::string> FilesInFolder() const {
        std::set<std::string> names;
        for (const auto& item : fs::directory_iterator(folder())) {
            names.insert(item.path().filename().string());
        }
        return names;
    }

    TestDatabaseLocation location;
    QTemporaryDir backups;
    // Wednesday 2027-01-06 12:00 UTC: the rule's weeks run from Monday to Sunday.
    const std::int64_t now = 1798761600 + 5 * kDay + 12 * kHour;
};

// Replaces every `from` in the file with `to` (of the same length), as a disk or a copy that
// silently changed the file would; false when the file does not hold `from`.
bool AlterBytes(const fs::path& file, const std::string& from, const std::string& to) {
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    bool found = false;
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1)) {
        bytes.replace(at, to.size(), to);
        found = true;
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return found;
}

// Whether a temporary check database has been made in `folder` and holds pages already.
bool CheckDatabaseGrowing(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator item(folder, error), end; !error && item != end; item.increment(error)) {
        if (fs::file_size(item->path() / "CHECK.FDB", error) > 0 && !error) {
            return true;
        }
    }
    return false;
}

std::string NameAt(std::int64_t time) {
    return BackupFileName(BackupEntry{{}, time, 3, 12, "0123456789abcdef"});
}

}  // namespace

TEST_F(VerifiedBackup, aProvenBackupJoinsTheKeptOnesAndTheRuleLetsOlderOnesGo) {
    PlaceOlder({1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 20, 21, 50});
    const BackupReport report = Run(Job(now));
    ASSERT_EQ(report.result, BackupResult::Made) << report.words;
    EXPECT_EQ(report.entry.groups, 3);
    EXPECT_EQ(report.entry.registrations, 12);
    EXPECT_EQ(ListBackups(folder()).front().file, report.entry.file);
    // Kept: the new one and the six days before it (back to Thursday 12-31), then the newest of each
    // of the four weeks before that one's: Sunday 12-27 (day 10) and Thursday 12-17 (day 20). Days 7
    // and 8 share the week of day 6, day 13 that of day 10, day 21 that of day 20; day 50 is older.
    std::set<std::string> expected{report.entry.file.filename().string()};
    for (const int day : {1, 2, 3, 4, 5, 6, 10, 20}) {
        expected.insert(NameAt(now - day * kDay));
    }
    EXPECT_EQ(FilesInFolder(), expected);
}

TEST_F(VerifiedBackup, backupsAndTheirFoldersAreForTheirUserAlone) {
    const mode_t usual = umask(022);  // what a desktop session usually has
    const BackupReport report = Run(Job(now));
    umask(usual);
    ASSERT_EQ(report.result, BackupResult::Made) << report.words;
    EXPECT_EQ(fs::status(folder()).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder().parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(report.entry.file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(VerifiedBackup, theAutomaticBackupWaitsForADayAndForAChange) {
    const BackupReport first = Run(Job(now, true));
    ASSERT_EQ(first.result, BackupResult::Made) << first.words;
    EXPECT_EQ(Run(Job(now + 2 * kHour, true)).result, BackupResult::NotDue);
    EXPECT_EQ(Run(Job(now + 25 * kHour, true)).result, BackupResult::NotDue);  // nothing changed
    {
        Database database(location.settings());
        database.ConnectDatabase();
        ASSERT_TRUE(database.UpdateSet("GRPQRT", "MEMO1 = 'moved'", "N = 2"));
    }
    EXPECT_EQ(Run(Job(now + 26 * kHour, true)).result, BackupResult::Made);
    EXPECT_EQ(Run(Job(now + 26 * kHour + 1, false)).result, BackupResult::Made);  // on request: always
    EXPECT_EQ(ListBackups(folder()).size(), 3u);
}

TEST_F(VerifiedBackup, underAClockSetBackTheBackupJustMadeIsKept) {
    // Eight backups made while the clock ran two months ahead.
    PlaceOlder({-60, -61, -62, -63, -64, -65, -66, -67});
    const BackupReport report = Run(Job(now));
    ASSERT_EQ(report.result, BackupResult::Made) << report.words;
    EXPECT_TRUE(fs::exists(report.entry.file));
    EXPECT_TRUE(FilesInFolder().contains(report.entry.file.filename().string()));
}

TEST_F(VerifiedBackup, backupsDatedAheadTakeNoPlaceFromTheOnesMadeSince) {
    // A week and a day of backups made while the clock ran two months ahead, then put right.
    const std::set<std::string> ahead = PlaceOlder({-60, -61, -62, -63, -64, -65, -66, -67});
    const std::set<std::string> since = PlaceOlder({1, 2, 3, 4, 5});
    const BackupReport report = Run(Job(now));
    ASSERT_EQ(report.result, BackupResult::Made) << report.words;
    const std::set<std::string> files = FilesInFolder();
    for (const std::set<std::string>* names : {&ahead, &since}) {
        for (const std::string& name : *names) {
            EXPECT_TRUE(files.contains(name)) << name;
        }
    }
}

TEST_F(VerifiedBackup, aBackupDatedMoreThanADayAheadDoesNotHoldUpTheAutomaticOne) {
    PlaceOlder({-30});  // made while the clock ran a month ahead
    EXPECT_EQ(Run(Job(now, true)).result, BackupResult::Made);
    // One a few hours ahead (another desktop's clock, a time zone set wrong) counts as made, though
    // the database changed since and the one before is more than a day old.
    std::ofstream(folder() / NameAt(now + 26 * kHour + 5 * kHour)) << "older backup";
    {
        Database database(location.settings());
        database.ConnectDatabase();
        ASSERT_TRUE(database.UpdateSet("GRPQRT", "MEMO1 = 'moved'", "N = 2"));
    }
    EXPECT_EQ(Run(Job(now + 26 * kHour, true)).result, BackupResult::NotDue);
}

TEST_F(VerifiedBackup, aFailedCheckDeletesTheNewBackupAndKeepsEveryOlderOne) {
    const std::set<std::string> older = PlaceOlder({1, 2, 3, 4, 5, 6, 7, 8, 9, 30});
    // Between its writing and its check the backup is cut short: it cannot be restored.
    const CancelFlag goOn{false};
    const BackupReport report = MakeVerifiedBackup(Job(now), goOn, [&](BackupStage stage) {
        if (stage == BackupStage::Checking) {
            fs::resize_file(folder() / UncheckedFileName(now), 4096);
        }
    });
    EXPECT_EQ(report.result, BackupResult::CheckFailed);
    EXPECT_FALSE(report.words.empty());
    EXPECT_EQ(FilesInFolder(), older);
}

TEST_F(VerifiedBackup, aDiskFullDuringTheBackupLeavesTheOlderOnesIntact) {
    const SmallFilesystem disk(folder(), "1m");
    if (!disk.Mounted()) {
        GTEST_SKIP() << "a small filesystem of its own cannot be mounted here (needs root)";
    }
    std::set<std::string> older = PlaceOlder({1, 2, 3, 4, 5, 6, 7, 8, 9, 30});
    disk.Fill();
    older.insert("filler");
    const BackupReport report = Run(Job(now));
    EXPECT_EQ(report.result, BackupResult::Failed);
    EXPECT_NE(report.words.find(std::strerror(ENOSPC)), std::string::npos) << report.words;
    EXPECT_EQ(FilesInFolder(), older);
    for (const auto& name : older) {
        if (name != "filler") {
            std::ifstream in(folder() / name);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "older backup") << name;
        }
    }
}

TEST_F(VerifiedBackup, aCancelledBackupLeavesOnlyTheOlderOnes) {
    const std::set<std::string> older = PlaceOlder({1, 2});
    const CancelFlag cancelled{true};
    const BackupReport report = MakeVerifiedBackup(Job(now), cancelled, [](BackupStage) {});
    EXPECT_EQ(report.result, BackupResult::Cancelled);
    EXPECT_EQ(FilesInFolder(), older);
}

TEST_F(VerifiedBackup, aBackupWhoseRestoredCopyHoldsOtherValuesIsDeletedAndTheOlderOnesStay) {
    const std::set<std::string> older = PlaceOlder({1, 2, 3});
    bool altered = false;
    const CancelFlag goOn{false};
    // Between its writing and its check the backup's bytes change: a registration's name reads
    // "図面9 ..." where "図面1 ..." was backed up. Firebird restores it without a word.
    const BackupReport report = MakeVerifiedBackup(Job(now), goOn, [&](BackupStage stage) {
        if (stage == BackupStage::Checking) {
            altered = AlterBytes(folder() / UncheckedFileName(now), Cp932("図面1 "), Cp932("図面9 "));
        }
    });
    ASSERT_TRUE(altered);
    EXPECT_EQ(report.result, BackupResult::CheckFailed) << report.words;
    EXPECT_FALSE(report.words.empty());
    EXPECT_EQ(FilesInFolder(), older);
}

TEST_F(VerifiedBackup, aBackupCancelledWhileItsCopyIsRestoredLeavesOnlyTheOlderOnesAndNoCheckDatabase) {
    {
        Database database(location.settings());
        database.ConnectDatabase();
        AddRegistrations(database, 1, 100000);  // a check long enough to be cancelled in the middle
    }
    const std::set<std::string> older = PlaceOlder({1, 2});
    QTemporaryDir checks;
    BackupJob job = Job(now);
    job.checkFolder = checks.path().toStdString();
    CancelFlag cancel{false};
    bool cancelledWhileRestoring = false;
    std::atomic<bool> finished{false};
    std::thread canceller;
    const BackupReport report = MakeVerifiedBackup(job, cancel, [&](BackupStage stage) {
        if (stage == BackupStage::Checking) {
            canceller = std::thread([&] {
                while (!finished && !CheckDatabaseGrowing(job.checkFolder)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                cancelledWhileRestoring = !finished;
                cancel = true;
            });
        }
    });
    finished = true;
    ASSERT_TRUE(canceller.joinable());
    canceller.join();
    ASSERT_TRUE(cancelledWhileRestoring);
    EXPECT_EQ(report.result, BackupResult::Cancelled) << report.words;
    EXPECT_EQ(FilesInFolder(), older);
    EXPECT_TRUE(fs::is_empty(job.checkFolder));
}

TEST_F(VerifiedBackup, aBackupTakenWhileAnotherDesktopCommitsIsProvenAndHoldsOneMomentOfIt) {
    if (!CensusHoldsWriters(location.settings())) {
        GTEST_SKIP() << "an embedded database in Super mode is written by no other desktop";
    }
    constexpr long long kBulk = 20000;  // enough for the backup to take a while
    {
        // And enough file tables that counting them all takes a while too.
        Database database(location.settings());
        database.ConnectDatabase();
        AddRegistrations(database, 3, kBulk);
        ASSERT_TRUE(database.ExecuteScript(
            {"EXECUTE BLOCK AS", "DECLARE I INTEGER = 100;", "BEGIN", "  WHILE (I < 300) DO", "  BEGIN",
             "    EXECUTE STATEMENT 'CREATE TABLE GRP_' || :I || ' (N INTEGER NOT NULL UNIQUE, "
             "FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))';",
             "    I = I + 1;", "  END", "END"}))
            << database.LastError();
    }
    // Another desktop registers files in group 1 one by one, each committed at once, all along.
    std::atomic<bool> stop{false};
    std::atomic<long long> committed{0};
    std::atomic<long long> refused{0};
    std::thread writer([&] {
        Database other(location.settings());
        other.ConnectDatabase();
        for (int number = 1000; !stop; ++number) {
            const FileRecord row{SqlNumber(number), SqlText(FullFileName(number)),
                                 SqlText(FullFolder(1, number))};
            ++(other.InsertRow("GRP_1", FileColumnNames(), row) ? committed : refused);
        }
    });
    while (committed < 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const long long before = committed;
    const BackupReport report = Run(Job(now));
    const long long after = committed;
    stop = true;
    writer.join();
    ASSERT_GT(after, before) << "the other desktop committed nothing while the backup ran";
    EXPECT_EQ(report.result, BackupResult::Made) << report.words;
    EXPECT_EQ(refused, 0);
    // The other desktop's rows as they stood at one moment between the backup's start and its end.
    EXPECT_GE(report.entry.registrations, 12 + kBulk + before);
    EXPECT_LE(report.entry.registrations, 12 + kBulk + after);
}

TEST_F(VerifiedBackup, aDatabaseThatCannotBeReadMakesNoBackup) {
    BackupJob job = Job(now);
    job.database.databaseName = "NONE.FDB";
    const BackupReport report = Run(job);
    EXPECT_EQ(report.result, BackupResult::Failed);
    EXPECT_FALSE(report.words.empty());
    EXPECT_TRUE(ListBackups(folder()).empty());
}
