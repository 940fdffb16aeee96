#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <array>
#include <memory>

#include "board/caption_placement.h"
#include "board/read_group_row.h"
#include "board_mouse.h"
#include "common/codepage.h"
#include "filelist/file_list_view.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "storage/statement_text.h"

namespace {

using Strings = std::vector<std::string>;

std::string DetailsRead(int groupNo) {
    return OpenSelectText("*", kGroupTable, "N=" + std::to_string(groupNo), "");
}

std::string PositionWrite(const std::string& setClause, int groupNo) {
    return UpdateSetText(kGroupTable, setClause, "N=" + std::to_string(groupNo));
}

QColor Background(const QLabel* caption) {
    return caption->palette().color(QPalette::Window);
}

// Two groups: A at the upper-left corner, B further right.
class BoardMouseTest : public BoardTest {
protected:
    void StartWithTwoGroups() {
        InsertGroup(1, "A", "", 0, 0);
        InsertGroup(2, "B", "", 80, 20);
        Start();
        mouse = std::make_unique<BoardMouse>(board());
        RecordStatements();
    }
    QWidget* Board() { return board().Board; }

    std::unique_ptr<BoardMouse> mouse;
};

}  // namespace

TEST_F(BoardMouseTest, dragOfTenPixelsWritesXTogetherWithYAtTheNextMovement) {
    StartWithTwoGroups();
    TForm1& form = board();
    QLabel* icon = IconOf(form, 2);
    QLabel* caption = CaptionOf(form, 2);
    mouse->Press(Board(), QPoint(85, 25));
    mouse->Move(Board(), QPoint(88, 25));
    mouse->Move(Board(), QPoint(95, 25));
    EXPECT_EQ(icon->pos(), QPoint(90, 20));
    EXPECT_EQ(caption->pos(), QPoint(CaptionLeft(90, 32, caption->width()), CaptionTop(20, 32)));
    EXPECT_EQ(Background(caption), QColor(0xC0, 0xC0, 0xC0));
    // The details are read once, when the drag takes up a group other than the selected one.
    EXPECT_EQ(sent, Strings{DetailsRead(2)});
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("B"));
    EXPECT_EQ(form.GroupSlots.LiveSlot(2)->X, 80);

    mouse->Release(Board(), QPoint(95, 25));
    EXPECT_EQ(sent.size(), 1u);
    mouse->Move(Board(), mouse->EmptySpot());
    EXPECT_EQ(sent, (Strings{DetailsRead(2), PositionWrite("X=90,Y=20", 2), DetailsRead(2)}));
    EXPECT_EQ(icon->pos(), QPoint(90, 20));
    EXPECT_EQ(Background(caption), QColor(Qt::white));
    const GroupSlot* slot = form.GroupSlots.LiveSlot(2);
    EXPECT_EQ(QPoint(slot->X, slot->Y), QPoint(90, 20));
    const GroupRecord stored = ReadGroupRow(other, 2);
    EXPECT_EQ(stored[kGroupX], "90");
    EXPECT_EQ(stored[kGroupY], "20");
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("2"));
    EXPECT_FALSE(form.IconPressed);
    EXPECT_EQ(form.DragGroup, 0);
    EXPECT_EQ(IconOf(form, 1)->pos(), QPoint(0, 0));
}

TEST_F(BoardMouseTest, clickWithoutMovementOnlyReadsTheDetailsAtTheNextMovement) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Press(IconOf(form, 2), QPoint(3, 7));
    mouse->Release(IconOf(form, 2), QPoint(3, 7));
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(form.IconPressed);
    EXPECT_EQ(QPoint(form.GrabX, form.GrabY), QPoint(3, 7));
    EXPECT_EQ(form.DragGroup, 2);
    EXPECT_EQ(form.SelectedGroup, 0);
    EXPECT_TRUE(form.Edit1->text().isEmpty());

    mouse->Move(Board(), mouse->EmptySpot());
    EXPECT_EQ(sent, Strings{DetailsRead(2)});
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("B"));
    EXPECT_EQ(IconOf(form, 2)->pos(), QPoint(80, 20));
}

TEST_F(BoardMouseTest, draggingTheSelectedGroupReadsItsDetailsOnlyAtCompletion) {
    StartWithTwoGroups();
    mouse->Select(2);
    sent.clear();
    mouse->Press(Board(), QPoint(85, 25));
    for (int x = 86; x <= 100; x += 2) {
        mouse->Move(Board(), QPoint(x, 30));
    }
    EXPECT_TRUE(sent.empty());
    mouse->Release(Board(), QPoint(100, 30));
    mouse->Move(Board(), mouse->EmptySpot());
    EXPECT_EQ(sent, (Strings{PositionWrite("X=95,Y=25", 2), DetailsRead(2)}));
}

TEST_F(BoardMouseTest, iconDraggedOutsideTheWindowIsStoredWhenTheCursorComesBackOverTheBoard) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Press(Board(), QPoint(5, 5));
    // The press grabbed the mouse: the icon follows the cursor beyond the window's edges.
    mouse->Move(Board(), QPoint(-100, 400));
    mouse->Release(Board(), QPoint(-100, 400));
    EXPECT_EQ(IconOf(form, 1)->pos(), QPoint(-105, 395));
    mouse->Move(Board(), QPoint(-120, 420));  // still outside: nothing completes the press
    EXPECT_TRUE(form.IconPressed);
    EXPECT_EQ(sent, Strings{DetailsRead(1)});

    mouse->Move(Board(), mouse->EmptySpot());
    EXPECT_EQ(sent, (Strings{DetailsRead(1), PositionWrite("X=-105,Y=395", 1), DetailsRead(1)}));
    EXPECT_EQ(IconOf(form, 1)->pos(), QPoint(-105, 395));
    EXPECT_FALSE(form.IconPressed);
}

TEST_F(BoardMouseTest, movementsWithoutAPressChangeNothing) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Select(1);
    sent.clear();
    mouse->Move(IconOf(form, 2), QPoint(10, 10));
    mouse->Move(CaptionOf(form, 2), QPoint(1, 1));
    mouse->Move(Board(), mouse->EmptySpot());
    mouse->Move(IconOf(form, 1), QPoint(10, 10));
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(form.SelectedGroup, 1);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("A"));
}

TEST_F(BoardMouseTest, movementOverACaptionDoesNotCompleteAPress) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Press(IconOf(form, 1), QPoint(4, 4));
    mouse->Release(IconOf(form, 1), QPoint(4, 4));
    mouse->Move(CaptionOf(form, 1), QPoint(1, 1));
    // Nor does a press on a caption, which holds the mouse until it is released.
    mouse->Press(CaptionOf(form, 2), QPoint(2, 2));
    mouse->Move(CaptionOf(form, 2), QPoint(12, 4));
    mouse->Release(CaptionOf(form, 2), QPoint(12, 4));
    EXPECT_TRUE(form.IconPressed);
    EXPECT_EQ(IconOf(form, 1)->pos(), QPoint(0, 0));
    EXPECT_TRUE(sent.empty());
    // Over another icon it completes, for the group pressed.
    mouse->Move(IconOf(form, 2), QPoint(10, 10));
    EXPECT_FALSE(form.IconPressed);
    EXPECT_EQ(form.SelectedGroup, 1);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("A"));
}

TEST_F(BoardMouseTest, rightButtonPressSelectsWithoutMoving) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Press(IconOf(form, 2), QPoint(5, 5), Qt::RightButton);
    mouse->Move(Board(), QPoint(130, 60));  // only the right button held
    EXPECT_EQ(sent, Strings{DetailsRead(2)});
    EXPECT_EQ(IconOf(form, 2)->pos(), QPoint(80, 20));
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_FALSE(form.IconPressed);
    mouse->Release(Board(), QPoint(130, 60), Qt::RightButton);
    EXPECT_EQ(sent.size(), 1u);
}

TEST_F(BoardMouseTest, doubleClickOpensTheGroupOfTheIconDoubleClicked) {
    StartWithTwoGroups();
    TForm1& form = board();
    TForm3& fileList = windows->form3;
    // On a fresh board no movement completes the press between the clicks: the double-click does.
    mouse->DoubleClick(IconOf(form, 2), QPoint(5, 5));
    EXPECT_TRUE(fileList.isVisible());
    EXPECT_EQ(fileList.GroupNo, 2);
    EXPECT_EQ(fileList.GroupName, "B");
    EXPECT_FALSE(form.IconPressed);
    EXPECT_EQ(form.DragGroup, 0);
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("2"));
    fileList.close();
    mouse->Move(Board(), mouse->EmptySpot());

    // With A selected, a double-click on B opens B, not A.
    mouse->Select(1);
    mouse->DoubleClick(IconOf(form, 2), QPoint(5, 5));
    EXPECT_TRUE(fileList.isVisible());
    EXPECT_EQ(fileList.GroupNo, 2);
    EXPECT_EQ(fileList.GroupName, "B");
    EXPECT_FALSE(form.IconPressed);
    EXPECT_EQ(form.SelectedGroup, 2);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("B"));
    mouse->Move(Board(), mouse->EmptySpot());
    EXPECT_EQ(form.SelectedGroup, 2);  // nothing is left pending
}

TEST_F(BoardMouseTest, firstOpeningCreatesTheFileTableAndShowsAnEmptyList) {
    InsertGroup(1, Cp932("図面グループ"), "", 40, 40);
    Start();
    BoardMouse mouse(board());
    RecordStatements();
    mouse.Select(1);
    mouse.DoubleClick(IconOf(board(), 1), QPoint(5, 5));
    EXPECT_TRUE(other.TableExists("GRP_1"));
    TForm3& fileList = windows->form3;
    EXPECT_TRUE(fileList.isVisible());
    EXPECT_EQ(fileList.GroupNo, 1);
    EXPECT_EQ(fileList.GroupName, Cp932("図面グループ"));
    EXPECT_EQ(fileList.findChild<FileListView*>("ListView1")->RowCount(), 0);
    const auto creations = [&] {
        return std::count_if(sent.begin(), sent.end(),
                             [](const std::string& text) { return text.starts_with("CREATE TABLE GRP_1"); });
    };
    EXPECT_EQ(creations(), 1);
    board().mnuOpenGroup->trigger();  // the table is there now
    EXPECT_EQ(creations(), 1);
}

TEST_F(BoardMouseTest, openingAnotherGroupShowsItsOwnList) {
    StartWithTwoGroups();
    ASSERT_TRUE(CreateFileTable(other, "GRP_2"));
    const std::array<std::string, 3> file{"7", "'a.dwg'", "'/drawings/'"};
    ASSERT_TRUE(other.InsertRow("GRP_2", FileColumnNames(), file));
    TForm1& form = board();
    TForm3& fileList = windows->form3;
    auto* list = fileList.findChild<FileListView*>("ListView1");
    mouse->Select(1);
    form.mnuOpenGroup->trigger();
    EXPECT_EQ(fileList.GroupNo, 1);
    EXPECT_EQ(list->RowCount(), 0);
    mouse->Select(2);
    form.mnuOpenGroup->trigger();
    EXPECT_TRUE(fileList.isVisible());
    EXPECT_EQ(fileList.GroupNo, 2);
    EXPECT_EQ(fileList.windowTitle(), QStringLiteral("グループ名 【B】 (N:2)"));
    ASSERT_EQ(list->RowCount(), 1);
}

TEST_F(BoardMouseTest, openingNeedsAGroupNumberInTheDetailsPanel) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Select(1);
    form.Edit3->clear();
    form.mnuOpenGroup->trigger();
    EXPECT_FALSE(windows->form3.isVisible());
    form.Edit3->setText(QStringLiteral("1"));
    form.database().DisconnectDatabase();
    form.mnuOpenGroup->trigger();
    EXPECT_FALSE(windows->form3.isVisible());
    EXPECT_FALSE(other.TableExists("GRP_1"));
}

TEST_F(BoardMouseTest, aDragCompletedByOpeningLeavesNoSilverCaptionAndKeepsItsPlace) {
    StartWithTwoGroups();
    TForm1& form = board();
    mouse->Press(Board(), QPoint(85, 25));
    mouse->Move(Board(), QPoint(95, 25));
    mouse->Release(Board(), QPoint(95, 25));
    mouse->DoubleClick(Board(), QPoint(95, 25));  // before any movement completes the press
    EXPECT_TRUE(windows->form3.isVisible());
    EXPECT_EQ(windows->form3.GroupNo, 2);
    EXPECT_FALSE(form.IconPressed);
    EXPECT_EQ(Background(CaptionOf(form, 2)), QColor(Qt::white));
    EXPECT_EQ(ReadGroupRow(other, 2)[kGroupX], "90");
}
