#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <functional>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "filelist/file_list_view.h"
#include "search_fixture.h"
#include "storage/schema.h"
#include "support/full_length_names.h"

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

TEST_F(StaleView, aRemovalNamingARegistrationReplacedElsewhereRemovesNothingAndListsAgain) {
    const std::string folder = FullLengthFolder("d");
    AddFile(1, 1, FullLengthName("a"), folder);
    AddFile(1, 2, FullLengthName("b"), folder);
    TForm3& list = windows->form3;
    list.SetViewStyleIndex(2);  // details, where rows are clicked
    board().OpenSelectedGroup();
    // The last registration replaced elsewhere: its number now names another file.
    ASSERT_TRUE(other.DeleteRows(FileTableName(1), "N=2"));
    AddFile(1, 2, FullLengthName("c"), folder);

    QTreeView* view = list.findChild<FileListView*>(QStringLiteral("ListView1"))->DetailsView();
    for (const int row : {0, 1}) {
        const QPoint center = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, center);
    }
    prompts.AnswerNextQuestion(true);
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Button5")), Qt::LeftButton);

    const std::vector<FileRecord> kept{{"1", FullLengthName("a"), folder},
                                       {"2", FullLengthName("c"), folder}};
    EXPECT_EQ(FilesOf(1), kept);
    EXPECT_EQ(prompts.messages,
              QStringList{QStringLiteral(
                  "他のコンピューターで変更されたため、削除しませんでした。一覧を更新しました。")});
    const auto* rows = list.findChild<FileListView*>(QStringLiteral("ListView1"));
    ASSERT_EQ(rows->RowCount(), 2);
    EXPECT_EQ(rows->Row(1).fileName, FullLengthName("c"));
}

TEST_F(StaleView, aGroupChangedElsewhereSinceItWasShownIsNeitherDeletedCopiedNorOverwritten) {
    struct Case {
        const char* command;
        std::function<void(const std::string& renamed)> run;  // renames group 1 elsewhere on the way
        QString message;
    };
    const auto renameElsewhere = [this](const std::string& name) {
        ASSERT_TRUE(other.UpdateSet(kGroupTable, "GRPNAME=" + SqlText(name), "N=1"));
    };
    // The command asks first; the group was renamed since the details panel showed it.
    const auto confirmedAfterRenaming = [&](QAction* command) {
        return [&, command](const std::string& renamed) {
            renameElsewhere(renamed);
            prompts.AnswerNextQuestion(true);
            command->trigger();
        };
    };
    const std::vector<Case> cases{
        {"delete", confirmedAfterRenaming(board().mnuDeleteGroup),
         QStringLiteral("他のコンピューターで変更されたため、削除しませんでした。表示を更新しました。")},
        {"copy", confirmedAfterRenaming(board().mnuCopyGroup),
         QStringLiteral("他のコンピューターで変更されたため、複製しませんでした。表示を更新しました。")},
        {"edit",
         [&](const std::string& renamed) {
             RunWithDialog([&] { board().mnuEditGroup->trigger(); },
                           [&](QWidget& dialog) {
                               renameElsewhere(renamed);  // while the dialog shows the row it read
                               EditIn(dialog, "Edit3")->setText(QStringLiteral("typed here"));
                               ClickIn(dialog, "Button1");
                               // The dialog shows the row as it is now.
                               EXPECT_EQ(EditIn(dialog, "Edit2")->text().toStdString(),
                                         Utf8FromCp932(renamed));
                           });
         },
         QStringLiteral(
             "他のコンピューターで変更されたため、編集登録しませんでした。最新の内容を表示しました。")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.command);
        prompts.messages.clear();
        ASSERT_TRUE(board().SelectGroup(1));
        const std::string renamed = FullLengthText(test.command, 32, "", false);
        test.run(renamed);
        EXPECT_EQ(prompts.messages, QStringList{test.message});
        EXPECT_EQ(other.CountRows(kGroupTable, ""), 2);
        EXPECT_EQ(other.CountRows(kGroupTable, "N=1 AND GRPNAME=" + SqlText(renamed) + " AND MTITLE IS NULL"),
                  1);
        EXPECT_EQ(CaptionOf(board(), 1)->text().toStdString(), Utf8FromCp932(renamed));
    }
}

}  // namespace
