#include <QAction>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <functional>

#include "backup/attachment_marker.h"
#include "backup_program.h"
#include "support/page_damage.h"
#include "support/scoped_environment.h"
#include "support/small_filesystem.h"

namespace fs = std::filesystem;

namespace {

// Files of the folder that are neither proven backups nor the attachment's note.
std::vector<std::string> Leftovers(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        if (!ParseBackupFileName(item.path()) && name != "attached") {
            names.push_back(name);
        }
    }
    return names;
}

const QString kMade = QStringLiteral("バックアップを作成しました（グループ 3 件、登録ファイル 12 件）。");

}  // namespace

TEST_F(BackupProgram, backsUpAfterAttachingAndOnRequestAndNotesTheAttachmentMeanwhile) {
    StartProgram();
    EXPECT_TRUE(attachment_marker::LeftBehind(Folder()));
    ASSERT_TRUE(StatusShowed(kMade));
    ASSERT_EQ(ListBackups(Folder()).size(), 1u);

    QTest::qWait(1100);  // the next backup's name is a second later
    statusTexts.clear();
    windows->backup.mnuBackup->trigger();
    ASSERT_TRUE(StatusShowed(kMade));
    EXPECT_EQ(ListBackups(Folder()).size(), 2u);
    EXPECT_TRUE(Leftovers(Folder()).empty());

    board().close();
    EXPECT_FALSE(attachment_marker::LeftBehind(Folder()));
}

TEST_F(BackupProgram, closingDuringABackupEndsItWithinTwoSecondsAndLeavesNoUnfinishedFile) {
    {
        // Enough registrations for the backup's check to take a while.
        Database database(location.settings());
        database.ConnectDatabase();
        // One statement makes them all; on a busy machine it may take longer than a command may.
        database.SetStatementDeadline(std::chrono::minutes(5));
        AddRegistrations(database, 1, 300000);
    }
    StartProgram();
    ASSERT_TRUE(StatusShowed(QStringLiteral("バックアップを確認しています...")));
    QElapsedTimer clock;
    clock.start();
    board().close();
    windows.reset();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(ListBackups(Folder()).empty());
    EXPECT_TRUE(Leftovers(Folder()).empty());
    EXPECT_FALSE(attachment_marker::LeftBehind(Folder()));
}

TEST_F(BackupProgram, whatABackupCutShortLeftIsRemovedAtTheNextStartAndOlderBackupsAreMadePrivate) {
    QTemporaryDir temporary;
    const ScopedEnvironment tmpdir("TMPDIR", temporary.path().toUtf8().constData());
    const fs::path checks = temporary.path().toStdString();
    const BackupEntry older = MakeBackup(std::time(nullptr) - 3 * 24 * 3600);
    fs::permissions(Folder(), fs::perms(0755));  // as earlier versions made them
    fs::permissions(older.file, fs::perms(0644));
    // A hard end in the middle of two backups: one while it streamed, one while it was checked.
    const std::vector<fs::path> leftovers{Folder() / "20270101-010101.unchecked",
                                          Folder() / "20270102-010101.unchecked.part.x7Rk2Q",
                                          checks / "qarto-check-a1B2c3", Folder() / "qarto-check-Z9y8X7"};
    // Names the program does not make, and a leftover still being written by another copy of it.
    const std::vector<fs::path> others{Folder() / "notes.unchecked",
                                       Folder() / "20270101-010101.unchecked.old",
                                       checks / "qarto-check-keep", checks / "qarto-check-Fresh1"};
    const auto hoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const fs::path& item : leftovers) {
        if (item.filename().string().starts_with("qarto-check-")) {
            fs::create_directory(item);
            std::ofstream(item / "CHECK.FDB") << "pages";
            fs::last_write_time(item / "CHECK.FDB", hoursAgo);
        } else {
            std::ofstream(item) << "part of a backup";
        }
        fs::last_write_time(item, hoursAgo);
    }
    for (const fs::path& item : others) {
        std::ofstream(item) << "someone else's";
        if (item.filename() != "qarto-check-Fresh1") {
            fs::last_write_time(item, hoursAgo);
        }
    }

    StartProgram(3600 * 1000);
    for (const fs::path& item : leftovers) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !fs::exists(item); }, 10000)) << item;
    }
    for (const fs::path& item : others) {
        EXPECT_TRUE(fs::exists(item)) << item;
    }
    EXPECT_EQ(fs::status(Folder()).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(older.file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(BackupProgram, aTemporaryFolderWhereTheCheckCannotBeMadeStillLetsTheBackupBeMadeAndChecked) {
    QTemporaryDir scratch;
    const fs::path temporary = fs::path(scratch.path().toStdString());
    struct Case {
        const char* label;
        fs::path folder;             // TMPDIR
        std::function<void()> make;  // readies it
    };
    std::vector<Case> cases{
        {"not there", "/nonexistent/qarto", [] {}},
        // Named in the code page's characters, with a trail byte 0x5C, for Firebird to find.
        {"Japanese", temporary / "一時 表ソ能", [&] { fs::create_directory(temporary / "一時 表ソ能"); }},
    };
    // A filesystem of its own takes root to mount; without one only the cases above are tried.
    const SmallFilesystem readOnly(temporary / "read-only", "4m", true);
    const SmallFilesystem full(temporary / "full", "4m");
    const SmallFilesystem small(temporary / "small", "256k");
    if (readOnly.Mounted() && full.Mounted() && small.Mounted()) {
        cases.push_back({"read-only", temporary / "read-only", [] {}});
        cases.push_back({"full", temporary / "full", [&] { full.Fill(); }});
        cases.push_back({"without room for the restored copy", temporary / "small", [] {}});
    }
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        test.make();
        const ScopedEnvironment tmpdir("TMPDIR", test.folder.c_str());
        statusTexts.clear();
        StartProgram();
        EXPECT_TRUE(StatusShowed(kMade)) << statusTexts.join('\n').toStdString();
        EXPECT_TRUE(Leftovers(Folder()).empty());
        windows.reset();
        fs::remove_all(Folder());  // the next backup is due at once
    }
    if (cases.size() == 2) {
        GTEST_SKIP() << "read-only, full and small temporary folders need filesystems of their own (root)";
    }
}

TEST_F(BackupProgram, aWriterKilledInTheMiddleIsNoticedAndItsDatabaseValidatedAtTheNextStart) {
    QProcess writer;
    writer.start(
        QStringLiteral(BACKUP_WRITER),
        {QString::fromStdString(location.settings().serverPrefix), QString::fromStdString(location.folder()),
         QStringLiteral("TEST.FDB"), QString::fromStdString(Folder().string())});
    ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().toStdString();
    writer.kill();  // SIGKILL, while it writes
    ASSERT_TRUE(writer.waitForFinished(10000));
    ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit);
    ASSERT_TRUE(attachment_marker::LeftBehind(Folder()));

    StartProgram();
    ASSERT_TRUE(StatusShowed(QStringLiteral("データベースを検査しました。異常はありません。")));
    EXPECT_TRUE(statusTexts.contains(
        QStringLiteral("前回は正常に終了しなかったため、データベースを検査しています...")));
    EXPECT_TRUE(prompts.questions.isEmpty());
    // A sound database is backed up as usual afterwards, with what the writer committed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ListBackups(Folder()).empty(); }, 60000));
    EXPECT_GT(ListBackups(Folder()).front().registrations, 12);
}

TEST_F(BackupProgram, aHardEndStaysNotedUntilTheDatabaseIsFoundSound) {
    attachment_marker::Place(Folder());
    StartProgram();
    board().close();  // before the validation could run
    EXPECT_TRUE(attachment_marker::LeftBehind(Folder()));

    windows.reset();
    StartProgram();
    ASSERT_TRUE(StatusShowed(QStringLiteral("データベースを検査しました。異常はありません。")));
    board().close();
    EXPECT_FALSE(attachment_marker::LeftBehind(Folder()));
}

TEST_F(BackupProgram, aTableAnotherDesktopIsWritingAtTheCheckIsNoDamageAndTheDueBackupStillRuns) {
    attachment_marker::Place(Folder());  // the last run ended hard
    {
        // Another desktop in the middle of a long write to group 2's registrations all along.
        const UncommittedWrite writing(location.settings(), 2);
        StartProgram();
        EXPECT_TRUE(StatusShowed(CheckOwedText() + kMade))
            << statusTexts.join('\n').toStdString() << prompts.messages.join('\n').toStdString();
    }
    EXPECT_TRUE(statusTexts.contains(
        QStringLiteral("他の端末が書き込み中のため、データベースを検査できませんでした。") +
        CheckOwedText()));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(ListBackups(Folder()).size(), 1u);
    // The check is still owed at the next start.
    board().close();
    EXPECT_TRUE(attachment_marker::LeftBehind(Folder()));
}

TEST_F(BackupProgram, aDatabaseLeftWhileItIsCheckedIsNotBackedUpAfterwards) {
    attachment_marker::Place(Folder());                      // the last run ended hard
    const UncommittedWrite writing(location.settings(), 2);  // the check waits for a table a while
    StartProgram();
    ASSERT_TRUE(
        StatusShowed(QStringLiteral("前回は正常に終了しなかったため、データベースを検査しています...")));
    ASSERT_TRUE(keeper().Busy());
    board().database().DisconnectDatabase();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keeper().Busy(); }, 60000));
    EXPECT_TRUE(ListBackups(Folder()).empty());
    EXPECT_TRUE(attachment_marker::LeftBehind(Folder()));  // still not found sound
}

TEST_F(BackupProgram, aDamagedDatabaseIsCaughtAndItsNewestBackupRestoredBesideIt) {
    const BackupEntry backup = MakeBackup();
    attachment_marker::Place(Folder());  // the last run ended hard
    ASSERT_GT(DamageUserDataPages(DatabaseFile()), 0);
    prompts.AnswerNextQuestion(true);  // restore from the newest backup
    prompts.AnswerNextQuestion(true);  // use the restored database

    StartProgram();
    ASSERT_TRUE(QTest::qWaitFor([&] { return context.settings.databaseName != "TEST.FDB"; }, 60000))
        << prompts.messages.join('\n').toStdString();
    ASSERT_EQ(prompts.questions.size(), 2);
    EXPECT_TRUE(prompts.questions[0].startsWith(QStringLiteral("データベースが破損しています。")));
    EXPECT_TRUE(prompts.questions[0].contains(QStringLiteral("グループ 3 件、登録ファイル 12 件")));
    EXPECT_EQ(context.settings.serverPrefix, location.settings().serverPrefix);
    EXPECT_EQ(context.settings.dataFolder, location.folder());
    EXPECT_EQ(context.settings.databaseName, "TEST_" + BackupFileName(backup).substr(0, 15) + ".FDB");
    ASSERT_TRUE(board().database().Attached());
    EXPECT_EQ(ReadLibrary(board().database()), library);
    EXPECT_NE(IconOf(*board().Board, 3), nullptr);
    // The old file is left where it was, as damaged as it was.
    const CancelFlag goOn{false};
    EXPECT_EQ(ValidateDatabase(location.settings(), goOn).soundness, Soundness::Damaged);
}

TEST_F(BackupProgram, aFileTooDamagedToAttachIsOfferedItsNewestBackup) {
    MakeBackup();
    DamagePageList(DatabaseFile());
    prompts.AnswerNextQuestion(true);
    prompts.AnswerNextQuestion(true);

    StartProgram();
    ASSERT_TRUE(QTest::qWaitFor([&] { return context.settings.databaseName != "TEST.FDB"; }, 60000));
    EXPECT_TRUE(prompts.messages.value(0).startsWith(
        QStringLiteral("データベース接続が出来ません。設定を確認して下さい。")));
    ASSERT_TRUE(board().database().Attached());
    EXPECT_EQ(ReadLibrary(board().database()), library);
}

TEST_F(BackupProgram, aSoundFileOfAnotherFirebirdOrNoDatabaseAtAllIsNoDamageAndOffersNoRestore) {
    MakeBackup();
    attachment_marker::Place(Folder());  // the last run ended hard
    const std::filesystem::path file = DatabaseFile();
    const std::filesystem::path sound = file.string() + ".sound";
    std::filesystem::copy_file(file, sound);
    struct Case {
        const char* label;
        std::function<void()> change;
        QString told;  // the status line's words, as far as they do not depend on this Firebird
    };
    const std::vector<Case> cases{
        {"newer", [&] { SetOnDiskStructure(file, 13); },
         QStringLiteral(
             "データベースファイルが新しいバージョンのFirebirdの形式（オンディスク構造 13.0）のため、"
             "開けません。このプログラムが読めるのはオンディスク構造 12.")},
        {"older", [&] { SetOnDiskStructure(file, 11); },
         QStringLiteral(
             "データベースファイルが古いバージョンのFirebirdの形式（オンディスク構造 11.0）のため、"
             "開けません。このプログラムが読めるのはオンディスク構造 12.")},
        {"none", [&] { OverwriteHeaderPage(file); },
         QStringLiteral("データベースファイルがFirebirdのデータベースの形式ではないため、開けません。")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        std::filesystem::copy_file(sound, file, std::filesystem::copy_options::overwrite_existing);
        test.change();
        statusTexts.clear();
        StartProgram();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return std::any_of(statusTexts.begin(), statusTexts.end(),
                                   [&](const QString& text) { return text.startsWith(test.told); });
            },
            30000))
            << statusTexts.join('\n').toStdString();
        EXPECT_TRUE(prompts.questions.isEmpty());
        windows.reset();
    }
}
