#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <iterator>
#include <map>

#include "common/codepage.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "storage/statement_text.h"

namespace {

using BoardCommands = BoardTest;

}  // namespace

TEST_F(BoardCommands, createdGroupAppearsAtTheTopLeftInOneMoreSlot) {
    ASSERT_TRUE(other.DropTable(kGroupTable));  // a new database: the dialog makes the table
    Start();
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);
    QWidget* dialog = RunWithDialog([&] { board().mnuMakeGroupClick(); },
                                    [](QWidget& shown) {
                                        QTest::keyClicks(EditIn(shown, "Edit2"), "first");
                                        ClickIn(shown, "Button1");
                                    });
    EXPECT_EQ(dialog, windows->form4.window());
    EXPECT_EQ(prompts.messages, QStringList{"登録OK"});
    EXPECT_EQ(board().GroupSlots.SlotCount(), 1);
    ASSERT_NE(IconOf(board(), 1), nullptr);
    EXPECT_EQ(IconOf(board(), 1)->pos(), QPoint(0, 0));
    EXPECT_EQ(CaptionOf(board(), 1)->text(), QStringLiteral("first"));
    EXPECT_EQ(board().focusWidget(), board().Board);  // the keyboard is back on the board
}

TEST_F(BoardCommands, theNumberOfADeletedLastGroupIsGivenAgainInANewSlot) {
    for (int n = 1; n <= 5; ++n) {
        InsertGroup(n, "group " + std::to_string(n), "", 64 * n, 0);
    }
    Start();
    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=5"));
    RunWithDialog([&] { board().mnuMakeGroupClick(); },
                  [](QWidget& shown) {
                      QTest::keyClicks(EditIn(shown, "Edit2"), "again five");
                      ClickIn(shown, "Button1");
                  });
    TForm1& form = board();
    EXPECT_EQ(form.GroupSlots.SlotCount(), 6);
    EXPECT_EQ(CaptionOf(form, 5)->text(), QStringLiteral("again five"));
    EXPECT_EQ(IconOf(form, 5)->pos(), QPoint(0, 0));
    EXPECT_EQ(form.GroupSlots.LiveSlot(6), nullptr);
}

TEST_F(BoardCommands, closingTheCreationDialogLeavesTheBoardAlone) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    std::vector<std::string> sentAfterClosing;
    bool closed = false;
    board().database().SetStatementTrace([&](const std::string& text) {
        if (closed) {
            sentAfterClosing.push_back(text);
        }
    });
    RunWithDialog([&] { board().mnuMakeGroupClick(); },
                  [&](QWidget& shown) {
                      QTest::keyClick(&shown, Qt::Key_Escape);
                      closed = true;
                  });
    EXPECT_TRUE(sentAfterClosing.empty());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 1);
}

TEST_F(BoardCommands, aCreatedRowThatCannotBeReadBackAddressesNoSlot) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    // Another client removes the new row while the user reads the dialog's message.
    prompts.onMessage = [&](const QString& text) {
        if (text == QStringLiteral("登録OK")) {
            EXPECT_TRUE(other.DeleteRows(kGroupTable, "N=2"));
        }
    };
    RunWithDialog([&] { board().mnuMakeGroupClick(); },
                  [](QWidget& shown) {
                      QTest::keyClicks(EditIn(shown, "Edit2"), "gone");
                      ClickIn(shown, "Button1");
                  });
    EXPECT_EQ(board().GroupSlots.SlotCount(), 2);  // the table still covers the number given out
    EXPECT_EQ(board().GroupSlots.LiveSlot(2), nullptr);
    EXPECT_NE(board().GroupSlots.LiveSlot(1), nullptr);
    EXPECT_EQ(IconOf(board(), 0), nullptr);
}

TEST_F(BoardCommands, editingRebuildsTheIconFromTheStoredRow) {
    WriteFile(PicturePath("own.bmp"), BitmapBytes(QSize(48, 48), Qt::blue));
    InsertGroup(1, "A", "", 0, 0);
    InsertGroup(2, "old name", "own.bmp", 80, -8);
    Start();
    TForm1& form = board();
    SelectInPanel(form, 2);
    const QPointer<QLabel> oldIcon = IconOf(form, 2);
    QWidget* dialog = RunWithDialog([&] { form.mnuEditGroupClick(); },
                                    [](QWidget& shown) {
                                        Retype(EditIn(shown, "Edit2"), "new name");
                                        Retype(EditIn(shown, "Edit9"), "nothing.bmp");
                                        ClickIn(shown, "Button1");
                                    });
    EXPECT_EQ(dialog, windows->form5.window());
    EXPECT_EQ(prompts.messages, QStringList{"編集登録OK"});
    QLabel* icon = IconOf(form, 2);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(oldIcon.isNull());  // freed, not reused
    EXPECT_EQ(form.findChildren<QLabel*>(QStringLiteral("Imag2")).size(), 1);
    EXPECT_EQ(icon->pos(), QPoint(80, -8));
    EXPECT_EQ(icon->size(), QSize(32, 32));  // the named picture is missing: the default one
    EXPECT_EQ(CaptionOf(form, 2)->text(), QStringLiteral("new name"));
    EXPECT_EQ(CaptionOf(form, 2)->y(), -8 + 32 + 3);
    // The selection stays, and the panel shows what was stored.
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("new name"));
    EXPECT_EQ(form.GroupSlots.SlotCount(), 2);
}

TEST_F(BoardCommands, editingClosedWithoutSavingKeepsTheControls) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    SelectInPanel(board(), 1);
    const QPointer<QLabel> icon = IconOf(board(), 1);
    const QPointer<QLabel> caption = CaptionOf(board(), 1);
    QWidget* dialog = RunWithDialog([&] { board().mnuEditGroupClick(); },
                                    [](QWidget& shown) {
                                        Retype(EditIn(shown, "Edit2"), "not saved");
                                        ClickIn(shown, "Button3");
                                    });
    EXPECT_NE(dialog, nullptr);
    ASSERT_FALSE(icon.isNull() || caption.isNull());
    EXPECT_EQ(IconOf(board(), 1), icon);
    EXPECT_EQ(CaptionOf(board(), 1), caption);
    EXPECT_EQ(caption->text(), QStringLiteral("A"));
}

TEST_F(BoardCommands, editingNeedsASelectedGroupInAnAttachedDatabase) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    auto noDialog = [](QWidget&) { ADD_FAILURE() << "no dialog expected"; };
    EXPECT_EQ(RunWithDialog([&] { board().mnuEditGroupClick(); }, noDialog), nullptr);
    SelectInPanel(board(), 1);
    board().database().DisconnectDatabase();
    EXPECT_EQ(RunWithDialog([&] { board().mnuEditGroupClick(); }, noDialog), nullptr);
}

TEST_F(BoardCommands, anEditedRowRemovedMeanwhileKeepsItsOldIcon) {
    InsertGroup(1, "A", "", 0, 0);
    InsertGroup(2, "B", "", 64, 0);
    Start();
    SelectInPanel(board(), 2);
    const QPointer<QLabel> icon = IconOf(board(), 2);
    prompts.onMessage = [&](const QString& text) {
        if (text == QStringLiteral("編集登録OK")) {
            EXPECT_TRUE(other.DeleteRows(kGroupTable, "N=2"));
        }
    };
    RunWithDialog([&] { board().mnuEditGroupClick(); },
                  [](QWidget& shown) {
                      Retype(EditIn(shown, "Edit2"), "renamed");
                      ClickIn(shown, "Button1");
                  });
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(IconOf(board(), 2), icon);
    EXPECT_EQ(CaptionOf(board(), 2)->text(), QStringLiteral("B"));
    EXPECT_EQ(board().GroupSlots.SlotCount(), 2);
}

TEST_F(BoardCommands, aStaleSelectionBeyondTheBoardAddressesNoSlot) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    InsertGroup(7, "added elsewhere", "", 0, 0);  // by another client, after the board was built
    SelectInPanel(board(), 7);
    RunWithDialog([&] { board().mnuEditGroupClick(); }, [](QWidget& shown) { ClickIn(shown, "Button1"); });
    EXPECT_EQ(prompts.messages, QStringList{"編集登録OK"});
    EXPECT_EQ(board().GroupSlots.SlotCount(), 1);
    EXPECT_EQ(IconOf(board(), 7), nullptr);
}

TEST_F(BoardCommands, switchingDatabasesShowsTheNewGroupsAndDropsTheOldSelection) {
    InsertGroup(1, "old 1", "", 0, 0);
    InsertGroup(2, "old 2", "", 64, 0);
    TestDatabaseLocation second;
    CreateDatabaseWithGroup(second, 1, "new", 30, 40);
    Start();
    TForm1& form = board();
    SelectInPanel(form, 2);
    windows->form3.show();
    RunWithDialog([&] { form.mnuDBsetClick(); },
                  [&](QWidget& shown) {
                      EXPECT_FALSE(form.database().Attached());
                      Retype(EditIn(shown, "Edit2"), QString::fromStdString(second.folder()));
                      ClickIn(shown, "Button1");
                  });
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(form.database().Attached());
    EXPECT_EQ(form.GroupSlots.SlotCount(), 1);
    EXPECT_EQ(CaptionOf(form, 1)->text(), QStringLiteral("new"));
    EXPECT_EQ(IconOf(form, 1)->pos(), QPoint(30, 40));
    EXPECT_EQ(IconOf(form, 2), nullptr);
    // Group 2 of the old database means nothing here.
    EXPECT_EQ(form.SelectedGroup, 0);
    EXPECT_TRUE(form.Edit1->text().isEmpty() && form.Edit3->text().isEmpty());
    EXPECT_FALSE(windows->form3.isVisible());
}

TEST_F(BoardCommands, reattachingTheSameDatabaseKeepsALiveSelection) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    SelectInPanel(board(), 1);
    RunWithDialog([&] { board().mnuDBsetClick(); }, [](QWidget& shown) { ClickIn(shown, "Button2"); });
    EXPECT_TRUE(board().database().Attached());
    EXPECT_NE(IconOf(board(), 1), nullptr);
    EXPECT_EQ(board().SelectedGroup, 1);
    EXPECT_EQ(board().Edit1->text(), QStringLiteral("A"));
}

TEST_F(BoardCommands, aDatabaseThatCannotBeAttachedLeavesAnEmptyBoardWithoutAMessage) {
    InsertGroup(1, "A", "", 0, 0);
    Start();
    SelectInPanel(board(), 1);
    RunWithDialog([&] { board().mnuDBsetClick(); },
                  [](QWidget& shown) {
                      Retype(EditIn(shown, "Edit2"), "/no/such/folder/");
                      ClickIn(shown, "Button1");  // refused by the dialog, which stays open
                      ClickIn(shown, "Button2");
                  });
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(
        prompts.messages[0].startsWith("データベースが作成・接続出来ません。設定を確認して下さい。\n"));
    EXPECT_FALSE(board().database().Attached());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 0);
    EXPECT_EQ(board().SelectedGroup, 0);
}

TEST_F(BoardCommands, eachMenuItemRunsItsOwnCommand) {
    InsertGroup(1, "A", "", 300, 100);
    Start();
    TForm1& form = board();
    SelectInPanel(form, 1);
    RecordStatements();
    const std::map<QWidget*, std::string> dialogs{{windows->form2.window(), "dialog TForm2"},
                                                  {windows->form4.window(), "dialog TForm4"},
                                                  {windows->form5.window(), "dialog TForm5"}};
    auto positionWrite = [](const char* setClause) { return UpdateSetText(kGroupTable, setClause, "N=1"); };
    // What each command alone does: the dialog it shows, the question it asks, the positions it
    // writes, the window it opens or closes.
    const std::vector<std::pair<QAction*, std::string>> commands{
        {form.mnuMakeGroup, "dialog TForm4"},
        {form.mnuOpenGroup, "file list shown"},
        {form.mnuDBset, "dialog TForm2"},
        {form.mnuMoveGroup, positionWrite("X=0,Y=0")},
        {form.mnuLocInitGroup, positionWrite("X=16,Y=0")},
        {form.mnuEditGroup, "dialog TForm5"},
        {form.mnuCopyGroup, "グループ「A」を複製します。よろしいですか？"},
        {form.mnuDeleteGroup, "グループ「A」を削除します。よろしいですか？"},
        {form.mnuExit, "board closed"},
    };
    for (const auto& [item, expected] : commands) {
        SCOPED_TRACE(item->objectName().toStdString());
        sent.clear();
        prompts.questions.clear();
        if (expected.starts_with("グループ")) {
            prompts.AnswerNextQuestion(false);  // the two commands that ask go no further
        }
        std::vector<std::string> effects;
        if (QWidget* dialog = RunWithDialog([&] { item->trigger(); }, [](QWidget&) {})) {
            const auto known = dialogs.find(dialog);
            effects.push_back(known != dialogs.end() ? known->second : "another dialog");
        }
        for (const QString& question : prompts.questions) {
            effects.push_back(question.toStdString());
        }
        std::copy_if(sent.begin(), sent.end(), std::back_inserter(effects),
                     [](const std::string& text) { return text.starts_with("UPDATE"); });
        if (windows->form3.isVisible()) {
            effects.push_back("file list shown");
            windows->form3.close();
        }
        if (!form.isVisible()) {
            effects.push_back("board closed");
        }
        EXPECT_EQ(effects, std::vector<std::string>{expected});
    }
}

TEST_F(BoardCommands, theBoardsKeysMoveAMarkedSelectionAndGiveItsCommands) {
    InsertGroup(1, "A", "", 0, 0);
    InsertGroup(2, "B", "", 100, 0);
    InsertGroup(3, "C", "", 0, 100);
    Start();
    TForm1& form = board();
    form.Board->setFocus();
    const std::vector<std::pair<Qt::Key, int>> moves{
        {Qt::Key_Right, 1},  // nothing selected: the top left
        {Qt::Key_Right, 2}, {Qt::Key_Down, 3}, {Qt::Key_Left, 3}, {Qt::Key_Up, 1},
    };
    for (const auto& [key, selected] : moves) {
        QTest::keyClick(form.Board, key);
        EXPECT_EQ(form.SelectedGroup, selected);
        EXPECT_EQ(form.Edit3->text(), QString::number(selected));
        EXPECT_TRUE(form.SelectionMark->isVisible());
        EXPECT_TRUE(form.SelectionMark->geometry().contains(IconOf(form, selected)->geometry()));
        EXPECT_TRUE(form.SelectionMark->geometry().contains(CaptionOf(form, selected)->geometry()));
    }
    EXPECT_EQ(RunWithDialog([&] { QTest::keyClick(form.Board, Qt::Key_F2); }, [](QWidget&) {}),
              windows->form5.window());
    prompts.AnswerNextQuestion(false);
    QTest::keyClick(form.Board, Qt::Key_Delete);
    EXPECT_EQ(prompts.questions, QStringList{"グループ「A」を削除します。よろしいですか？"});
    QTest::keyClick(form.Board, Qt::Key_Return);
    EXPECT_TRUE(windows->form3.isVisible());
    windows->form3.close();
    prompts.AnswerNextQuestion(true);
    QTest::keyClick(form.Board, Qt::Key_Delete);
    EXPECT_EQ(form.SelectedGroup, 0);
    EXPECT_FALSE(form.SelectionMark->isVisible());
}

TEST_F(BoardCommands, exitClosesTheBoard) {
    Start();
    board().mnuExit->trigger();
    EXPECT_FALSE(board().isVisible());
    EXPECT_TRUE(QFile::exists(SettingsPath()));
}
