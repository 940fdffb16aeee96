#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "search_fixture.h"
#include "storage/schema.h"

namespace {

// Groups 1 "A" and 2 "B" on the board, group 1 selected; then another desktop deletes group 1. Its
// file table stays, as when the other desktop's DROP failed while this one held the table.
class StaleView : public SearchTest {
protected:
    void SetUp() override {
        AddGroup(1, "A");
        AddGroup(2, "B");
        CreateFileTables({1});
        Start();
        ASSERT_TRUE(board().SelectGroup(1));
    }
    void DeleteGroupOneElsewhere(bool dropFiles) {
        ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=1"));
        if (dropFiles) {
            ASSERT_TRUE(other.DropTable(FileTableName(1)));
        }
    }
};

TEST_F(StaleView, openingAGroupDeletedElsewhereCreatesNoFileTableAndRefreshes) {
    DeleteGroupOneElsewhere(true);
    board().mnuOpenGroup->trigger();
    EXPECT_FALSE(other.TableExists(FileTableName(1)));
    EXPECT_FALSE(windows->form3.isVisible());
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("グループが見つかりません。")});
    EXPECT_EQ(IconOf(board(), 1), nullptr);
}

TEST_F(StaleView, copyingOrEditingAGroupDeletedElsewhereFailsAndRefreshes) {
    DeleteGroupOneElsewhere(true);
    prompts.AnswerNextQuestion(true);
    board().mnuCopyGroup->trigger();
    EXPECT_EQ(other.CountRows(kGroupTable, ""), 1);
    EXPECT_EQ(IconOf(board(), 1), nullptr);

    ASSERT_TRUE(board().SelectGroup(2));
    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=2"));
    const QWidget* dialog = RunWithDialog([&] { board().mnuEditGroup->trigger(); }, [](QWidget&) {});
    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(prompts.messages, (QStringList{QStringLiteral("複製失敗"), QStringLiteral("編集登録失敗")}));
    EXPECT_EQ(IconOf(board(), 2), nullptr);
}

TEST_F(StaleView, registeringIntoTheOpenListOfAGroupDeletedElsewhereFailsVisibly) {
    board().OpenSelectedGroup();
    DeleteGroupOneElsewhere(false);
    prompts.ChooseNextFiles({QStringLiteral("/d/a.dwg")});
    QTest::mouseClick(windows->form3.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    EXPECT_TRUE(FilesOf(1).empty());
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("グループが見つからないため登録できません。")});
}

TEST_F(StaleView, aFileTableLeftBehindNeverBecomesTheListOfANewGroupOrACopy) {
    // Group 2 is the largest: once gone, a new group and then a copy get its number again.
    AddFile(1, 1, "old.dwg", "/d/");
    CreateFileTables({2});
    AddFile(2, 1, "old.dwg", "/d/");
    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=2"));
    RunWithDialog([&] { board().mnuMakeGroup->trigger(); },
                  [](QWidget& dialog) { ClickIn(dialog, "Button1"); });
    ASSERT_EQ(other.CountRows(kGroupTable, "N=2"), 1);
    EXPECT_TRUE(FilesOf(2).empty());

    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=2"));
    AddFile(2, 1, "old.dwg", "/d/");
    ASSERT_TRUE(other.DropTable(FileTableName(1)));  // a source never opened has no file table
    prompts.AnswerNextQuestion(true);
    board().mnuCopyGroup->trigger();
    ASSERT_EQ(other.CountRows(kGroupTable, "N=2"), 1);
    EXPECT_TRUE(FilesOf(2).empty());
}

}  // namespace
