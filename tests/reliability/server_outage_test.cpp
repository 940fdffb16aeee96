#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <optional>

#include "backup/attachment_marker.h"
#include "backup/backup_catalog.h"
#include "backup/backup_place.h"
#include "common/codepage.h"
#include "common/sql_literal.h"
#include "outside_tools.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "search/change_watch.h"
#include "search/search_window.h"
#include "storage/schema.h"
#include "storage/table_copy.h"
#include "support/full_length_names.h"
#include "support/scoped_environment.h"
#include "window_steps.h"

namespace {

// The program attached to a database on a server of the test's own, which the test stops and
// starts again at the same address.
class ServerOutage : public ProgramTest {
protected:
    void SetUp() override {
        if (TestDatabaseLocation::ThroughServer()) {
            GTEST_SKIP() << "runs a server of its own in the embedded run";
        }
        server.emplace();
        settings = location.settings();
        settings.serverPrefix = server->prefix();
        // Two groups, and two files registered in the first.
        Database other(settings);
        other.CreateDatabase();
        ASSERT_TRUE(other.Attached());
        ASSERT_TRUE(StoreTwoGroups(other));
        for (const int number : {1, 2}) {
            const std::array<std::string, 3> values{SqlNumber(number),
                                                    SqlText("f" + std::to_string(number) + ".dwg"),
                                                    SqlText(location.folder())};
            ASSERT_TRUE(other.InsertRow(FileTableName(1), FileColumnNames(), values));
        }
        other.DisconnectDatabase();
        WriteSettings(settings);
        Start();
        ASSERT_TRUE(board().database().Attached());
    }
    // The windows detach before the server and the database's folder go.
    void TearDown() override { windows.reset(); }

    std::string RegisteredFile() {
        const QString path = QString::fromStdString(location.folder()) + QStringLiteral("new.dwg");
        WriteFile(path, QByteArray("drawing"));
        return path.toStdString();
    }

    TestDatabaseLocation location;
    std::optional<OwnServer> server;
    ConnectionSettings settings;
};

}  // namespace

TEST_F(ServerOutage, everyOperationAnswersItsFailureValueAndTheWindowsSaySo) {
    TForm1& form = board();
    TForm3& fileList = windows->form3;
    OpenFileList(board(), 1);
    ASSERT_EQ(ListedRows(fileList).size(), 2u);

    // The server goes away while the creation dialog is open.
    CreateGroup(form, QStringLiteral("lost"), [&] { ASSERT_TRUE(server->Stop()); });
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_EQ(form.GroupSlots.SlotCount(), 2);

    Database& db = form.database();
    EXPECT_FALSE(db.TableExists(kGroupTable));
    EXPECT_EQ(db.CountRows(kGroupTable, ""), -1);
    EXPECT_EQ(db.CountColumns(kGroupTable), -1);
    EXPECT_EQ(db.SelectMax(kGroupTable, "N", ""), "");
    EXPECT_EQ(db.OpenSelect("*", kGroupTable, "", "N"), 0);
    GroupRecord row;
    row.fill("untouched");
    db.ReadFirstRow(row);
    db.ReadNextRow(row);
    EXPECT_EQ(row[kGroupName], "untouched");
    const std::array<std::string, 3> values{SqlNumber(3), SqlText("x.dwg"), SqlText("/")};
    EXPECT_FALSE(db.InsertRow(FileTableName(1), FileColumnNames(), values));
    EXPECT_FALSE(db.UpdateColumns(kGroupTable, std::span(GroupColumnNames()).subspan(1, 1),
                                  std::array{SqlText("renamed")}, "N=1"));
    EXPECT_FALSE(db.UpdateSet(kGroupTable, "X=0, Y=0", "N=1"));
    EXPECT_FALSE(db.DeleteRows(FileTableName(1), "N=1"));
    EXPECT_FALSE(db.DropTable(FileTableName(1)));
    EXPECT_FALSE(CreateFileTable(db, FileTableName(3)));
    EXPECT_FALSE(CopyTable(db, FileTableName(1), FileTableName(2)));

    // The open file list refuses to add or remove, and shows only what is stored.
    prompts.messages.clear();
    AddFiles(fileList, prompts, {QString::fromStdString(RegisteredFile())});
    RemoveAllRows(fileList, prompts);
    EXPECT_EQ(prompts.messages, (QStringList{"登録失敗", "削除失敗"}));
    EXPECT_EQ(ListedRows(fileList).size(), 2u);

    // The database settings dialog cannot attach; cancelled, the board is left empty.
    prompts.messages.clear();
    QWidget* dialog =
        RunWithDialog([&] { form.mnuDBsetClick(); }, [](QWidget& shown) { ClickIn(shown, "Button1"); });
    EXPECT_EQ(dialog, &windows->form2);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(
        prompts.messages[0].startsWith("データベースが作成・接続出来ません。設定を確認して下さい。\n"));
    EXPECT_FALSE(db.Attached());
    EXPECT_EQ(form.GroupSlots.SlotCount(), 0);
    EXPECT_TRUE(form.Board->findChildren<QLabel*>(QRegularExpression("^(Imag|Labe)")).isEmpty());

    form.close();
    EXPECT_TRUE(QFile::exists(SettingsPath()));
}

TEST_F(ServerOutage, aServerBackAfterAHardStopIsAttachedAgainByItselfAndCommandsWorkAgain) {
    TForm1& form = board();
    OpenFileList(form, 1);
    ASSERT_TRUE(server->Stop());
    // The command finds the connection gone and fails as it does; the program says it reconnects.
    CreateGroup(form, QStringLiteral("away"));
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_TRUE(form.database().Lost());
    EXPECT_TRUE(form.StatusBar1->currentMessage().contains(QStringLiteral("再接続しています")));
    EXPECT_NE(IconOf(form, 1), nullptr);  // the board keeps what it showed
    // The selected group's commands say their failure while the server is away.
    prompts.messages.clear();
    for (QAction* command : {form.mnuCopyGroup, form.mnuDeleteGroup, form.mnuEditGroup}) {
        command->trigger();
    }
    EXPECT_EQ(prompts.messages, (QStringList{"複製失敗", "削除失敗", "編集登録失敗"}));

    // A restart takes a while: the server stays away for more than one try to attach again.
    QTest::qWait(3000);
    ASSERT_TRUE(server->Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.database().Lost(); }, 15000));
    EXPECT_EQ(form.StatusBar1->currentMessage(), QStringLiteral("サーバーに再接続しました。"));
    EXPECT_EQ(ListedRows(windows->form3).size(), 2u);
    prompts.messages.clear();
    CreateGroup(form, QStringLiteral("back"));
    EXPECT_EQ(prompts.messages, QStringList{"登録OK"});
    EXPECT_NE(IconOf(form, 3), nullptr);
}

TEST_F(ServerOutage, aConnectionLostAndRestoredStaysTheDatabaseInUseForItsBackups) {
    TForm1& form = board();
    const std::filesystem::path backups =
        std::filesystem::path(appFolder.path().toStdString()) / "backups" / DatabaseFolderName(settings);
    ASSERT_TRUE(attachment_marker::LeftBehind(backups));
    ASSERT_TRUE(server->Stop());
    CreateGroup(form, QStringLiteral("away"));  // finds the connection gone
    ASSERT_TRUE(form.database().Lost());
    EXPECT_TRUE(attachment_marker::LeftBehind(backups));  // not a detach: still noted

    ASSERT_TRUE(server->Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.database().Lost(); }, 15000));
    EXPECT_TRUE(attachment_marker::LeftBehind(backups));
    windows->backup.mnuBackup->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ListBackups(backups).empty(); }, 60000))
        << form.StatusBar1->currentMessage().toStdString();
}

TEST_F(ServerOutage, aFrozenServerIsGivenUpAfterTheDeadlineAndReachedAgainOnceItAnswers) {
    TForm1& form = board();
    form.database().SetStatementDeadline(std::chrono::milliseconds(1500));
    ASSERT_TRUE(server->Signal(SIGSTOP));
    // The event loop goes on while the statement waits: the windows paint, timers run.
    // One of them using the same connection meanwhile is refused at once.
    bool eventsWhileWaiting = false;
    int nestedCount = 0;
    QTimer::singleShot(300, [&] {
        eventsWhileWaiting = Database::Waiting();
        nestedCount = form.database().CountRows(kGroupTable, "");
    });
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(form.database().CountRows(kGroupTable, ""), -1);
    EXPECT_LT(waited.elapsed(), 10000);
    EXPECT_TRUE(eventsWhileWaiting);
    EXPECT_EQ(nestedCount, -1);
    EXPECT_TRUE(form.database().Lost());
    ASSERT_TRUE(server->Signal(SIGCONT));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.database().Lost(); }, 15000));
    EXPECT_EQ(form.database().CountRows(kGroupTable, ""), 2);
}

TEST_F(ServerOutage, theChangeWatchNeverKeepsTheWindowsWaitingForAFrozenServer) {
    ChangeWatcher& watcher = windows->search.watcher;
    watcher.Check();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.Looking(); }, 10000));
    ASSERT_TRUE(server->Signal(SIGSTOP));
    QElapsedTimer waited;
    waited.start();
    watcher.Check();
    EXPECT_LT(waited.elapsed(), 100);
    QTest::qWait(300);
    EXPECT_TRUE(watcher.Looking());  // over its own connection, on its own thread
    ASSERT_TRUE(server->Signal(SIGCONT));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !watcher.Looking(); }, 15000));
    EXPECT_FALSE(board().database().Lost());
}

TEST_F(ServerOutage, aUserAndPasswordOfTheEnvironmentAreTheOnesUsedAndThePasswordIsNeverShown) {
    ASSERT_TRUE(board().database().ExecuteScript({"ALTER USER SYSDBA PASSWORD 'elsewhere7'"}));
    Database fixed(settings);
    fixed.ConnectDatabase();
    EXPECT_FALSE(fixed.Attached());
    EXPECT_EQ(fixed.LastError().find("elsewhere7"), std::string::npos);

    const ScopedEnvironment user("ISC_USER", "SYSDBA");
    const ScopedEnvironment password("ISC_PASSWORD", "elsewhere7");
    Database own(settings);
    own.ConnectDatabase();
    EXPECT_TRUE(own.Attached()) << own.LastError();
}

TEST_F(ServerOutage, theSettingsCommandAttachesAgainAfterARestartAndNothingCommittedIsMissing) {
    TForm1& form = board();
    TForm3& fileList = windows->form3;
    OpenFileList(board(), 1);
    AddFiles(fileList, prompts, {QString::fromStdString(RegisteredFile())});
    CreateGroup(form, QStringLiteral("three"));
    ASSERT_EQ(prompts.messages, QStringList{"登録OK"});
    const TableContents committed = ReadAllTables(form.database());
    ASSERT_EQ(committed.at(kGroupTable).size(), 3u);
    ASSERT_EQ(committed.at(FileTableName(1)).size(), 3u);

    ASSERT_TRUE(server->Stop());
    EXPECT_EQ(form.database().CountRows(kGroupTable, ""), -1);
    ASSERT_TRUE(server->Start());
    EXPECT_EQ(server->prefix(), settings.serverPrefix);

    RunWithDialog([&] { form.mnuDBsetClick(); }, [](QWidget& shown) { ClickIn(shown, "Button1"); });
    EXPECT_EQ(prompts.messages, QStringList{"登録OK"});
    ASSERT_TRUE(form.database().Attached());
    EXPECT_EQ(ReadAllTables(form.database()), committed);
    for (const int groupNo : {1, 2, 3}) {
        EXPECT_NE(IconOf(form, groupNo), nullptr) << groupNo;
    }
    OpenFileList(board(), 1);
    EXPECT_EQ(ListedRows(fileList).size(), 3u);
}

// Another desktop's group, added after the board was read at the start and before the watch's first
// look, is shown by itself.
TEST_F(ServerOutage, aGroupAnotherDesktopAddsRightAfterTheStartIsShownByItself) {
    windows->search.watcher.Start();  // as the program starts it
    Database other(settings);
    other.ConnectDatabase();
    InsertGroupRow(other, 3, FullLengthName("3", 32), "", 128, 64);
    EXPECT_TRUE(QTest::qWaitFor([&] { return IconOf(board(), 3) != nullptr; }, 15000));
}

// The server is killed and started again, twice, while nobody uses the program: each time the watch
// goes on showing the groups another desktop adds, and the search finds them.
TEST_F(ServerOutage, afterEveryRestartOfTheServerAnotherDesktopsGroupsAreShownAndFoundByThemselves) {
    windows->search.watcher.Start();
    SearchWindow& search = windows->search.window;
    for (const int added : {3, 4}) {
        ASSERT_TRUE(server->Stop());
        QTest::qWait(2 * ChangeWatcher::kIntervalMs);  // the watch finds the server gone
        ASSERT_TRUE(server->Start());
        Database other(settings);
        other.ConnectDatabase();
        ASSERT_TRUE(other.Attached()) << other.LastError();
        QTest::qWait(2000);
        const std::string name = FullLengthName(std::to_string(added), 32);
        InsertGroupRow(other, added, name, "", 64 * added, 64);
        EXPECT_TRUE(QTest::qWaitFor([&] { return IconOf(board(), added) != nullptr; }, 20000)) << added;

        search.Edit1->setText(Utf8FromCp932(name).c_str());
        search.RunSearch();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !search.Searching(); }, 20000));
        EXPECT_EQ(search.ListView1->topLevelItemCount(), 1) << added;
    }
}
