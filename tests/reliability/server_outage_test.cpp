#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <optional>

#include "common/sql_literal.h"
#include "outside_tools.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "storage/table_copy.h"
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
