#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <ctime>
#include <fstream>

#include "backup/restore_dialog.h"
#include "backup_program.h"
#include "storage/database_presence.h"
#include "storage/schema.h"

namespace fs = std::filesystem;

namespace {

// The automatic backup is not due within any of these tests.
constexpr int kNoAutomaticBackup = 3600 * 1000;

// Runs "バックアップから復元(&E)..." and picks row `row` of its list; answers the rows as shown.
std::vector<QStringList> RestoreRow(BackupTools& tools, int row) {
    std::vector<QStringList> shown;
    RunWithDialog([&] { tools.mnuRestore->trigger(); },
                  [&](QWidget& dialog) {
                      auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
                      ASSERT_NE(list, nullptr);
                      for (int i = 0; i < list->topLevelItemCount(); ++i) {
                          const QTreeWidgetItem* item = list->topLevelItem(i);
                          shown.push_back({item->text(0), item->text(1), item->text(2)});
                      }
                      list->setCurrentItem(list->topLevelItem(row));
                      dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
                  });
    return shown;
}

}  // namespace

TEST_F(BackupProgram, theRestoreCommandListsTheBackupsAndRestoresThePickedOneBesideTheDatabase) {
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    const BackupEntry older = MakeBackup(now - 3600);
    {
        Database database(location.settings());
        database.ConnectDatabase();
        ASSERT_TRUE(database.DeleteRows(kGroupTable, "N = 3"));
        ASSERT_TRUE(database.DropTable(FileTableName(3)));
    }
    MakeBackup(now);
    prompts.AnswerNextQuestion(true);  // use the restored database

    StartProgram(kNoAutomaticBackup);
    const std::vector<QStringList> rows = RestoreRow(windows->backup, 1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].mid(1), (QStringList{"2", "6"}));
    EXPECT_EQ(rows[1], (QStringList{BackupTimeText(older), "3", "12"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return context.settings.databaseName != "TEST.FDB"; }, 60000))
        << prompts.messages.join('\n').toStdString();
    EXPECT_EQ(context.settings.databaseName, "TEST_" + BackupFileName(older).substr(0, 15) + ".FDB");
    // A database on a server goes on being used by the other computers: No is the default then.
    const bool onServer = !location.settings().serverPrefix.empty();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].endsWith(
                  QStringLiteral("他のコンピューターは引き続き元のデータベースを使用します。")),
              onServer);
    EXPECT_EQ(prompts.noByDefault, onServer ? prompts.questions : QStringList());
    EXPECT_EQ(ReadLibrary(board().database()), library);
    // The database that was in use keeps its two groups.
    Database previous(location.settings());
    previous.ConnectDatabase();
    EXPECT_EQ(previous.CountRows(kGroupTable, ""), 2);
}

TEST_F(BackupProgram, aBackupFileThatIsCutShortOrHoldsAnotherDatabaseIsRefusedAndNothingChanges) {
    const BackupEntry entry = MakeBackup();
    const fs::path original = fs::path(location.folder()) / "original.fbk";
    fs::copy_file(entry.file, original);
    // A backup of another database, put under this one's name by hand.
    TestDatabaseLocation elsewhere;
    CreateLibrary(elsewhere.settings(), 1, 1);
    const fs::path foreign = fs::path(location.folder()) / "foreign.fbk";
    const CancelFlag goOn{false};
    ASSERT_TRUE(BackupDatabase(elsewhere.settings(), foreign, goOn).done);

    StartProgram(kNoAutomaticBackup);
    for (const bool cutShort : {true, false}) {
        fs::copy_file(cutShort ? original : foreign, entry.file, fs::copy_options::overwrite_existing);
        if (cutShort) {
            fs::resize_file(entry.file, fs::file_size(original) / 2);
        }
        prompts.messages.clear();
        RestoreRow(windows->backup, 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.isEmpty(); }, 60000));
        EXPECT_TRUE(
            prompts.messages[0].startsWith(QStringLiteral("バックアップから復元できませんでした。\n")))
            << prompts.messages[0].toStdString();
        EXPECT_EQ(context.settings.databaseName, "TEST.FDB");
        EXPECT_TRUE(board().database().Attached());
        ConnectionSettings target = location.settings();
        target.databaseName = "TEST_" + BackupFileName(entry).substr(0, 15) + ".FDB";
        EXPECT_EQ(ProbeDatabase(target).state, DatabaseState::Missing) << cutShort;
    }
    EXPECT_TRUE(prompts.questions.isEmpty());
}
