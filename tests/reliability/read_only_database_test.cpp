#include <QLineEdit>
#include <QTest>

#include "board_mouse.h"
#include "common/sql_literal.h"
#include "outside_tools.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "storage/table_copy.h"
#include "window_steps.h"

namespace {

// Two groups and a registered file in a database that an administrator has set read-only.
class ReadOnlyDatabase : public BoardTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(other.DropTable(kGroupTable));
        ASSERT_TRUE(StoreTwoGroups(other));
        const std::array<std::string, 3> file{SqlNumber(1), SqlText("a.dwg"), SqlText(location.folder())};
        ASSERT_TRUE(other.InsertRow(FileTableName(1), FileColumnNames(), file));
        stored = ReadAllTables(other);
        other.DisconnectDatabase();
        ASSERT_TRUE(SetReadOnly(location.settings(), true));
        Start();
    }

    TableContents stored;
};

}  // namespace

TEST_F(ReadOnlyDatabase, everyWriteFailsVisiblyAndNothingIsLost) {
    TForm1& form = board();
    // Reading works as ever.
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_NE(IconOf(form, 1), nullptr);
    EXPECT_NE(IconOf(form, 2), nullptr);

    CreateGroup(form, QStringLiteral("three"));
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_EQ(IconOf(form, 3), nullptr);

    BoardMouse(form).Select(1);
    RunWithDialog([&] { form.mnuEditGroupClick(); },
                  [](QWidget& dialog) {
                      QTest::keyClicks(EditIn(dialog, "Edit2"), QStringLiteral(" renamed"));
                      ClickIn(dialog, "Button1");
                  });
    EXPECT_EQ(prompts.messages.last(), QStringLiteral("編集登録失敗"));
    prompts.AnswerNextQuestion(true);
    form.mnuCopyGroupClick();
    prompts.AnswerNextQuestion(true);
    form.mnuDeleteGroupClick();
    EXPECT_EQ(prompts.messages.mid(2), (QStringList{"複製失敗", "削除失敗"}));
    EXPECT_NE(IconOf(form, 1), nullptr);
    EXPECT_EQ(IconOf(form, 3), nullptr);
    prompts.messages.clear();

    TForm3& fileList = windows->form3;
    OpenFileList(board(), 1);
    const QString added = QString::fromStdString(location.folder()) + QStringLiteral("b.dwg");
    WriteFile(added, QByteArray("drawing"));
    AddFiles(fileList, prompts, {added});
    RemoveAllRows(fileList, prompts);
    EXPECT_EQ(prompts.messages, (QStringList{"登録失敗", "削除失敗"}));
    ASSERT_EQ(ListedRows(fileList).size(), 1u);
    EXPECT_EQ(ListedRows(fileList)[0].fileName, "a.dwg");

    Database& db = form.database();
    EXPECT_FALSE(CreateFileTable(db, FileTableName(3)));
    EXPECT_FALSE(CopyTable(db, FileTableName(1), FileTableName(2)));
    EXPECT_FALSE(db.UpdateSet(kGroupTable, "X=5, Y=5", "N=2"));
    EXPECT_FALSE(db.DeleteRows(kGroupTable, ""));
    EXPECT_FALSE(db.DropTable(FileTableName(1)));

    form.close();
    windows.reset();
    ASSERT_TRUE(SetReadOnly(location.settings(), false));
    other.ConnectDatabase();
    EXPECT_EQ(ReadAllTables(other), stored);
}
