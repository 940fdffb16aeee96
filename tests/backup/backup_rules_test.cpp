#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "backup/backup_catalog.h"
#include "backup/backup_place.h"
#include "backup/restore_target.h"
#include "backup/retention.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kDay = 24 * 3600;
constexpr std::int64_t kStart = 1798761600;  // Friday 2027-01-01 00:00:00 UTC

ConnectionSettings At(const std::string& prefix, const std::string& folder, const std::string& name) {
    ConnectionSettings settings = ConnectionSettings::Defaults();
    settings.serverPrefix = prefix;
    settings.dataFolder = folder;
    settings.databaseName = name;
    return settings;
}

}  // namespace

TEST(BackupPlace, backupsLiveBesideASettingsFileBesideTheExecutableElseInTheUsersDataFolder) {
    QTemporaryDir dir;
    const fs::path app = dir.path().toStdString();
    const fs::path data = app / "share";
    EXPECT_EQ(BackupsRoot(app / "qarto-groups.dat", app, data), app / "backups");
    EXPECT_EQ(BackupsRoot(app / "config" / "qarto-groups.dat", app, data), data / "backups");
}

TEST(BackupPlace, twoDatabasesNeverShareAFolderAndItsNameIsSafe) {
    const std::string embedded = DatabaseFolderName(At("", "/data/", "QRTDB.FDB"));
    const std::string served = DatabaseFolderName(At("localhost:", "/data/", "QRTDB.FDB"));
    const std::string elsewhere = DatabaseFolderName(At("", "/other/", "QRTDB.FDB"));
    EXPECT_NE(embedded, served);
    EXPECT_NE(embedded, elsewhere);
    EXPECT_EQ(embedded, DatabaseFolderName(At("", "/data/", "QRTDB.FDB")));
    EXPECT_TRUE(embedded.starts_with("QRTDB-"));
    // A name of Shift-JIS bytes, slashes and dots still gives a plain folder name.
    const std::string odd = DatabaseFolderName(At("", "/data/", "\x90\x7d/../..\x96\xca.FDB"));
    EXPECT_TRUE(std::all_of(odd.begin(), odd.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    })) << odd;
}

TEST(BackupCatalog, namesSortByTimeAndReadBackWhatTheyTell) {
    const BackupEntry entry{{}, kStart + 3661, 12, 3456, "0123456789abcdef"};
    const std::string name = BackupFileName(entry);
    EXPECT_EQ(name, "20270101-010101_G12_R3456_0123456789abcdef.fbk");
    const std::optional<BackupEntry> read = ParseBackupFileName(fs::path("/x") / name);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->time, entry.time);
    EXPECT_EQ(read->groups, 12);
    EXPECT_EQ(read->registrations, 3456);
    EXPECT_EQ(read->fingerprint, entry.fingerprint);
    EXPECT_LT(BackupFileName(BackupEntry{{}, kStart + 9 * kDay, 999, 0, "ffffffffffffffff"}),
              BackupFileName(BackupEntry{{}, kStart + 10 * kDay, 1, 0, "0000000000000000"}));
    for (const char* other : {"20270101-010101.unchecked", "20270101-010101.unchecked.part", "notes.txt",
                              "20271345-010101_G1_R1_0123456789abcdef.fbk", "attached",
                              "20270101-010101_G1_R1_0123456789abcdef.fbk.part"}) {
        EXPECT_FALSE(ParseBackupFileName(other)) << other;
    }
}

TEST(BackupCatalog, listsOnlyProvenBackupsNewestFirst) {
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    for (const std::int64_t day : {3, 1, 2}) {
        std::ofstream(folder /
                      BackupFileName(BackupEntry{{}, kStart + day * kDay, 1, 2, "0123456789abcdef"}));
    }
    std::ofstream(folder / UncheckedFileName(kStart + 4 * kDay));
    std::ofstream(folder / "attached");
    const std::vector<BackupEntry> listed = ListBackups(folder);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].time, kStart + 3 * kDay);
    EXPECT_EQ(listed[2].time, kStart + 1 * kDay);
}

TEST(Retention, overManyDaysKeepsTheSevenNewestAndOnePerWeekOfTheFourBefore) {
    std::vector<std::int64_t> kept;
    for (int day = 0; day < 120; ++day) {
        kept.push_back(kStart + day * kDay + (day % 5) * 3600);  // at somewhat different hours
        const std::vector<std::size_t> gone = BackupsToDelete(kept);
        for (auto index = gone.rbegin(); index != gone.rend(); ++index) {
            kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(*index));
        }
    }
    std::sort(kept.rbegin(), kept.rend());
    ASSERT_EQ(kept.size(), 11u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ((kept[i] - kStart) / kDay, 119 - i);
    }
    // Day 113 is a Saturday; the weeks before its own end on the Sundays of days 107, 100, 93 and 86,
    // and with a backup every day, each week's newest is its Sunday's.
    for (int week = 0; week < 4; ++week) {
        EXPECT_EQ((kept[7 + week] - kStart) / kDay, 107 - 7 * week) << "week " << week + 1;
    }
}

TEST(Retention, fewBackupsAreAllKeptAndAGapOfWeeksKeepsWhatIsThere) {
    EXPECT_TRUE(BackupsToDelete({kStart, kStart + kDay, kStart + 2 * kDay}).empty());
    // Seven backups this week, two old ones in the same week long ago, one more in the third week.
    std::vector<std::int64_t> times;
    for (int day = 100; day < 107; ++day) {
        times.push_back(kStart + day * kDay);
    }
    times.push_back(kStart + 85 * kDay);       // third week before that of day 100: kept
    times.push_back(kStart + 10 * kDay);       // long before: gone
    times.push_back(kStart + 10 * kDay + 60);  // long before: gone
    const std::vector<std::size_t> gone = BackupsToDelete(times);
    EXPECT_EQ(gone, (std::vector<std::size_t>{8, 9}));
}

TEST(RestoreTarget, theNewDatabaseLiesBesideTheOldOneNamedAfterTheBackup) {
    const ConnectionSettings source = At("localhost:", "/srv/data/", "QRTDB.FDB");
    const BackupEntry entry{{}, kStart + 3661, 1, 1, "0123456789abcdef"};
    const ConnectionSettings first = RestoreTargetBeside(source, entry, 1);
    EXPECT_EQ(first.serverPrefix, "localhost:");
    EXPECT_EQ(first.dataFolder, "/srv/data/");
    EXPECT_EQ(first.databaseName, "QRTDB_20270101-010101.FDB");
    EXPECT_EQ(RestoreTargetBeside(source, entry, 2).databaseName, "QRTDB_20270101-010101_2.FDB");
}
