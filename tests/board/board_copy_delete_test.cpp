#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <array>
#include <climits>

#include "board/read_group_row.h"
#include "board_mouse.h"
#include "common/sql_literal.h"
#include "filelist/file_list_view.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "storage/statement_text.h"
#include "support/another_desktop.h"
#include "support/full_length_names.h"

namespace {

using Strings = std::vector<std::string>;

// Groups 1 to 5, group 2 named A at (80, 0) with two registered files, one without a folder.
class BoardCopyDelete : public BoardTest {
protected:
    void StartWithFiveGroups() {
        for (int n = 1; n <= 5; ++n) {
            InsertGroup(n, n == 2 ? "A" : "G" + std::to_string(n), "", n == 2 ? 80 : 64 * n,
                        n == 2 ? 0 : 100);
        }
        ASSERT_TRUE(CreateFileTable(other, "GRP_2"));
        AddFile("GRP_2", {"1", "'a.dwg'", "'/drawings/'"});
        AddFile("GRP_2", {"3", "'b.dwg'", "NULL"});
        Start();
        mouse = std::make_unique<BoardMouse>(board());
    }
    void AddFile(const std::string& table, const std::array<std::string, 3>& values) {
        ASSERT_TRUE(other.InsertRow(table, FileColumnNames(), values));
    }
    std::vector<FileRecord> FilesOf(const std::string& table) {
        const int rows = other.OpenSelect("*", table, "", "N");
        std::vector<FileRecord> files(std::max(rows, 0));
        for (int i = 0; i < rows; ++i) {
            i == 0 ? other.ReadFirstRow(files[i]) : other.ReadNextRow(files[i]);
        }
        other.CloseResult();
        return files;
    }
    bool Sent(const std::string& start) const {
        return std::any_of(sent.begin(), sent.end(),
                           [&](const std::string& text) { return text.starts_with(start); });
    }
    void Copy(bool yes) {
        prompts.AnswerNextQuestion(yes);
        board().mnuCopyGroup->trigger();
    }
    void Delete(bool yes) {
        prompts.AnswerNextQuestion(yes);
        board().mnuDeleteGroup->trigger();
    }

    std::unique_ptr<BoardMouse> mouse;
};

}  // namespace

TEST_F(BoardCopyDelete, copyOfGroupTwoAmongFiveBecomesGroupSixWithTheSameFiles) {
    StartWithFiveGroups();
    TForm1& form = board();
    mouse->Select(2);
    RecordStatements();
    Copy(true);
    EXPECT_EQ(prompts.questions, QStringList{"グループ「A」を複製します。よろしいですか？"});
    EXPECT_TRUE(prompts.messages.isEmpty());
    const std::array<std::string, 11> values{"6",    "'A'",  "NULL", "NULL", "NULL", "NULL",
                                             "NULL", "NULL", "NULL", "92",   "12"};
    EXPECT_NE(std::find(sent.begin(), sent.end(), InsertRowText(kGroupTable, GroupColumnNames(), values)),
              sent.end());
    const GroupRecord copy = ReadGroupRow(other, 6);
    EXPECT_EQ(copy[kGroupName], "A");
    EXPECT_EQ(QPoint(std::stoi(copy[kGroupX]), std::stoi(copy[kGroupY])), QPoint(92, 12));
    EXPECT_EQ(FilesOf("GRP_6"), FilesOf("GRP_2"));
    EXPECT_EQ(FilesOf("GRP_6").size(), 2u);

    EXPECT_EQ(form.GroupSlots.SlotCount(), 6);
    ASSERT_NE(IconOf(form, 6), nullptr);
    EXPECT_EQ(IconOf(form, 6)->pos(), QPoint(92, 12));
    EXPECT_EQ(CaptionOf(form, 6)->text(), QStringLiteral("A"));
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("2"));
}

TEST_F(BoardCopyDelete, copyKeepsTheGroupsOwnPicture) {
    WriteFile(PicturePath("own.bmp"), BitmapBytes(QSize(48, 48), Qt::blue));
    InsertGroup(1, "P", "own.bmp", 40, 8);
    Start();
    SelectInPanel(board(), 1);
    Copy(true);
    EXPECT_EQ(ReadGroupRow(other, 2)[kGroupIcon], "own.bmp");
    ASSERT_NE(IconOf(board(), 2), nullptr);
    EXPECT_EQ(IconOf(board(), 2)->size(), QSize(48, 48));  // not the default picture's 32 x 32
}

TEST_F(BoardCopyDelete, copiesOfAGroupNeverOpenedShareOnePlaceAndHaveNoFileTable) {
    StartWithFiveGroups();
    mouse->Select(4);
    Copy(true);
    Copy(true);
    EXPECT_TRUE(prompts.messages.isEmpty());
    for (int n : {6, 7}) {
        SCOPED_TRACE(n);
        ASSERT_NE(IconOf(board(), n), nullptr);
        EXPECT_EQ(IconOf(board(), n)->pos(), QPoint(268, 112));
        EXPECT_FALSE(other.TableExists(FileTableName(n)));
    }
    EXPECT_EQ(board().GroupSlots.SlotCount(), 7);
}

TEST_F(BoardCopyDelete, noEscapeAndTheCloseBoxSendNothing) {
    StartWithFiveGroups();
    QtPrompts boxes;
    context.prompts = &boxes;
    mouse->Select(2);
    RecordStatements();
    const std::function<void(QWidget&)> answers[] = {
        [](QWidget& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("確認"));
            for (QPushButton* button : box.findChildren<QPushButton*>()) {
                if (button->text() == QStringLiteral("いいえ(&N)")) {
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
        },
        [](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); }, [](QWidget& box) { box.close(); }};
    for (QAction* command : {board().mnuCopyGroup, board().mnuDeleteGroup}) {
        for (const auto& answer : answers) {
            sent.clear();
            QWidget* box = RunWithDialog([&] { command->trigger(); },
                                         [&](QWidget& shown) {
                                             answer(shown);
                                             EXPECT_FALSE(shown.isVisible());
                                         });
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(sent, Strings{TableNamesText()});  // the preconditions, nothing after the answer
        }
    }
    EXPECT_EQ(board().GroupSlots.SlotCount(), 5);
    EXPECT_NE(IconOf(board(), 2), nullptr);
}

TEST_F(BoardCopyDelete, aGroupWithoutANameIsAskedAboutWithNothingBetweenTheBrackets) {
    InsertGroup(1, "", "", 0, 0);
    Start();
    BoardMouse(board()).Select(1);
    Copy(false);
    Delete(false);
    EXPECT_EQ(prompts.questions, (QStringList{"グループ「」を複製します。よろしいですか？",
                                              "グループ「」を削除します。よろしいですか？"}));
}

TEST_F(BoardCopyDelete, neitherCommandAsksWithoutASelectedGroupNumber) {
    StartWithFiveGroups();
    board().mnuCopyGroup->trigger();
    board().mnuDeleteGroup->trigger();
    mouse->Select(2);
    board().Edit3->clear();
    board().mnuCopyGroup->trigger();
    board().mnuDeleteGroup->trigger();
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 5);
}

TEST_F(BoardCopyDelete, aCopyBeyondTheLargestNumberIsToldAndSendsNothing) {
    InsertGroup(1, "A", "", 0, 0);
    InsertGroup(INT_MAX, "last", "", 64, 0);
    Start();
    BoardMouse(board()).Select(1);
    RecordStatements();
    Copy(true);
    EXPECT_EQ(prompts.messages, QStringList{"複製失敗"});
    EXPECT_FALSE(Sent("INSERT"));
    EXPECT_EQ(board().GroupSlots.SlotCount(), INT_MAX);
}

TEST_F(BoardCopyDelete, aRefusedInsertIsToldAndAddsNothing) {
    InsertGroup(1, "A", "", 0, 0);
    ASSERT_TRUE(CreateFileTable(other, "GRP_1"));
    Start();
    BoardMouse(board()).Select(1);
    // Another client stores the group where its copy's place does not fit the column.
    prompts.onQuestion = [&](const QString&) {
        EXPECT_TRUE(other.UpdateSet(kGroupTable, "X=" + std::to_string(INT_MAX - 5), "N=1"));
    };
    Copy(true);
    EXPECT_EQ(prompts.messages, QStringList{"複製失敗"});
    EXPECT_EQ(other.CountRows(kGroupTable, ""), 1);
    // The copy's file table is made before the rows go in together, and stays empty.
    EXPECT_TRUE(FilesOf("GRP_2").empty());
    EXPECT_EQ(board().GroupSlots.SlotCount(), 1);
}

TEST_F(BoardCopyDelete, aSourceRemovedMeanwhileIsNotCopied) {
    StartWithFiveGroups();
    mouse->Select(2);
    prompts.onQuestion = [&](const QString&) { EXPECT_TRUE(other.DeleteRows(kGroupTable, "N=2")); };
    Copy(true);
    EXPECT_EQ(prompts.messages, QStringList{"複製失敗"});
    EXPECT_EQ(other.CountRows(kGroupTable, ""), 4);
    EXPECT_EQ(board().GroupSlots.SlotCount(), 5);
}

TEST_F(BoardCopyDelete, aFileListThatCannotBeCopiedLeavesNoCopy) {
    StartWithFiveGroups();
    mouse->Select(2);
    // Another client left a table of the copy's name that cannot take the files.
    prompts.onQuestion = [&](const QString&) {
        EXPECT_TRUE(other.ExecuteScript({"CREATE TABLE GRP_6 (", "  N INTEGER NOT NULL UNIQUE", "  );"}));
        EXPECT_TRUE(other.ExecuteScript({"INSERT INTO GRP_6 (N) VALUES (4);"}));
    };
    Copy(true);
    EXPECT_EQ(prompts.messages, QStringList{"複製失敗"});
    EXPECT_EQ(other.CountRows(kGroupTable, "N=6"), 0);
    EXPECT_EQ(other.CountRows("GRP_6", "N=4"), 1);
    EXPECT_EQ(IconOf(board(), 6), nullptr);
}

TEST_F(BoardCopyDelete, deletingGroupThreeAmongFiveLeavesTheOthersAndClearsTheSelection) {
    StartWithFiveGroups();
    ASSERT_TRUE(CreateFileTable(other, "GRP_3"));
    TForm1& form = board();
    mouse->Select(3);
    RecordStatements();
    Delete(true);
    EXPECT_EQ(prompts.questions, QStringList{"グループ「G3」を削除します。よろしいですか？"});
    // The row goes only as the details panel showed it.
    EXPECT_EQ(sent,
              (Strings{TableNamesText(),
                       DeleteRowsText(kGroupTable,
                                      "N=3 AND GRPNAME = 'G3' AND MTITLE IS NULL AND STITLE IS NULL AND "
                                      "PNAME IS NULL AND MEMO1 IS NULL AND MEMO2 IS NULL AND MEMO3 IS "
                                      "NULL AND ICONP IS NULL"),
                       TableNamesText(), DropTableText("GRP_3")}));
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(ReadGroupRow(other, 3)[kGroupN].empty());
    EXPECT_FALSE(other.TableExists("GRP_3"));
    EXPECT_EQ(form.GroupSlots.LiveSlot(3), nullptr);
    EXPECT_EQ(IconOf(form, 3), nullptr);
    EXPECT_EQ(CaptionOf(form, 3), nullptr);
    for (int n : {1, 2, 4, 5}) {
        EXPECT_NE(form.GroupSlots.LiveSlot(n), nullptr) << n;
    }
    EXPECT_EQ(IconOf(form, 4)->pos(), QPoint(256, 100));
    EXPECT_EQ(form.GroupSlots.SlotCount(), 5);
    for (QLineEdit* edit : {form.Edit1, form.Edit2, form.Edit3, form.Edit4, form.Edit5}) {
        EXPECT_TRUE(edit->text().isEmpty());
    }
    EXPECT_EQ(form.SelectedGroup, 0);
    EXPECT_EQ(form.DragGroup, 0);
    EXPECT_EQ(other.SelectMax(kGroupTable, "N", ""), "5");  // the next new group is 6
}

TEST_F(BoardCopyDelete, deletingAGroupNeverOpenedDropsNoTable) {
    StartWithFiveGroups();
    mouse->Select(4);
    RecordStatements();
    Delete(true);
    EXPECT_TRUE(Sent("DELETE FROM GRPQRT WHERE N=4 AND GRPNAME = 'G4' AND "));
    EXPECT_FALSE(Sent("DROP"));
    EXPECT_EQ(IconOf(board(), 4), nullptr);
}

TEST_F(BoardCopyDelete, theLastGroupDeletedAndCreatedAgainStartsWithAnEmptyFileList) {
    StartWithFiveGroups();
    ASSERT_TRUE(CreateFileTable(other, "GRP_5"));
    AddFile("GRP_5", {"1", "'old.dwg'", "'/drawings/'"});
    mouse->Select(5);
    Delete(true);
    RunWithDialog([&] { board().mnuMakeGroupClick(); },
                  [](QWidget& shown) {
                      QTest::keyClicks(EditIn(shown, "Edit2"), "new five");
                      ClickIn(shown, "Button1");
                  });
    ASSERT_NE(IconOf(board(), 5), nullptr);
    EXPECT_EQ(board().GroupSlots.SlotCount(), 6);
    EXPECT_EQ(CaptionOf(board(), 5)->text(), QStringLiteral("new five"));
    mouse->Select(5);
    board().mnuOpenGroup->trigger();
    EXPECT_EQ(windows->form3.GroupNo, 5);
    EXPECT_EQ(windows->form3.findChild<FileListView*>("ListView1")->RowCount(), 0);
}

TEST_F(BoardCopyDelete, aRefusedDeleteKeepsTheGroupSelectedWithItsFiles) {
    StartWithFiveGroups();
    // Another program's table refers to group 2, so its row cannot go.
    ASSERT_TRUE(other.ExecuteScript({"CREATE TABLE REFS (", "  G INTEGER REFERENCES GRPQRT (N)", "  );"}));
    ASSERT_TRUE(other.ExecuteScript({"INSERT INTO REFS (G) VALUES (2);"}));
    TForm1& form = board();
    mouse->Select(2);
    RecordStatements();
    Delete(true);
    EXPECT_EQ(prompts.messages, QStringList{"削除失敗"});
    EXPECT_FALSE(Sent("DROP"));
    EXPECT_TRUE(other.TableExists("GRP_2"));
    EXPECT_NE(form.GroupSlots.LiveSlot(2), nullptr);
    EXPECT_NE(IconOf(form, 2), nullptr);
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("A"));
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("2"));
}

TEST_F(BoardCopyDelete, aFileListAnotherDesktopIsWritingKeepsTheGroupAfterABoundedWaitAndSaysSo) {
    StartWithFiveGroups();
    TForm1& form = board();
    form.database().SetStatementDeadline(std::chrono::seconds(2));  // a lock is waited for a second
    mouse->Select(2);
    const std::array<std::string, 3> added{"7", SqlText(FullLengthName("c")), SqlText(FullLengthFolder("d"))};
    EXPECT_TRUE(WhileAnotherDesktopWrites(
        location.settings(),
        [&](Database& writer) { return writer.InsertRow("GRP_2", FileColumnNames(), added); },
        [&] { Delete(true); }));
    EXPECT_EQ(prompts.messages, QStringList{"削除失敗"});
    EXPECT_FALSE(form.database().Lost());
    // The group stands as it was, with its files and the other desktop's.
    EXPECT_EQ(ReadGroupRow(other, 2)[kGroupN], "2");
    EXPECT_EQ(FilesOf("GRP_2").size(), 3u);
    EXPECT_NE(IconOf(form, 2), nullptr);
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("2"));
}

TEST_F(BoardCopyDelete, aPressPendingAtDeletionCompletesOnNoSlot) {
    StartWithFiveGroups();
    TForm1& form = board();
    mouse->Select(3);
    mouse->Press(IconOf(form, 3), QPoint(4, 4));
    mouse->Release(IconOf(form, 3), QPoint(4, 4));
    Delete(true);
    EXPECT_TRUE(form.IconPressed);
    EXPECT_EQ(form.DragGroup, 0);
    RecordStatements();
    mouse->Move(form.Board, mouse->EmptySpot());
    EXPECT_EQ(sent, Strings{OpenSelectText("*", kGroupTable, "N=0", "")});
    EXPECT_FALSE(form.IconPressed);
    EXPECT_EQ(form.SelectedGroup, 0);
    EXPECT_TRUE(form.Edit1->text().isEmpty());
}

TEST_F(BoardCopyDelete, aSelectionTheBoardHasNoSlotForAddressesNone) {
    StartWithFiveGroups();
    InsertGroup(9, "added elsewhere", "", 0, 0);
    TForm1& form = board();
    ASSERT_TRUE(form.SelectGroup(9));
    Delete(true);
    EXPECT_TRUE(ReadGroupRow(other, 9)[kGroupN].empty());
    EXPECT_EQ(form.GroupSlots.SlotCount(), 5);
    EXPECT_EQ(form.SelectedGroup, 0);
}
