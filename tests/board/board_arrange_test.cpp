#include <QLabel>
#include <QLineEdit>

#include "board/caption_placement.h"
#include "board/read_group_row.h"
#include "board_mouse.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "storage/statement_text.h"

namespace {

using BoardArrange = BoardTest;
using Strings = std::vector<std::string>;

std::string PositionWrite(const std::string& setClause, int groupNo) {
    return UpdateSetText(kGroupTable, setClause, "N=" + std::to_string(groupNo));
}

void ExpectAt(TForm1& form, int groupNo, QPoint position) {
    SCOPED_TRACE(groupNo);
    QLabel* icon = IconOf(form, groupNo);
    QLabel* caption = CaptionOf(form, groupNo);
    ASSERT_TRUE(icon && caption);
    EXPECT_EQ(icon->pos(), position);
    EXPECT_EQ(caption->pos(), QPoint(CaptionLeft(position.x(), icon->width(), caption->width()),
                                     CaptionTop(position.y(), icon->height())));
}

}  // namespace

TEST_F(BoardArrange, arrangingSkipsNumbersWithoutAGroupAndWritesOnlyChangedPlaces) {
    InsertGroup(1, "A", "", 16, 0);  // already in its cell
    InsertGroup(2, "B", "", 300, 100);
    InsertGroup(4, "D", "", 5, 5);
    Start();
    RecordStatements();
    board().mnuLocInitGroup->trigger();
    EXPECT_EQ(sent, (Strings{TableNamesText(), PositionWrite("X=80,Y=0", 2), PositionWrite("X=144,Y=0", 4)}));
    ExpectAt(board(), 1, QPoint(16, 0));
    ExpectAt(board(), 2, QPoint(80, 0));
    ExpectAt(board(), 4, QPoint(144, 0));
    EXPECT_EQ(ReadGroupRow(other, 4)[kGroupX], "144");

    sent.clear();
    board().mnuLocInitGroup->trigger();  // everything stands where it is stored
    EXPECT_EQ(sent, Strings{TableNamesText()});
}

TEST_F(BoardArrange, aNarrowWindowGivesTwoColumns) {
    for (int n = 1; n <= 5; ++n) {
        InsertGroup(n, std::string(1, static_cast<char>('A' + n - 1)), "", 300, 100);
    }
    Start();
    board().SetClientSize(100, 301);
    board().mnuLocInitGroup->trigger();
    const QPoint expected[] = {{16, 0}, {80, 0}, {16, 64}, {80, 64}, {16, 128}};
    for (int n = 1; n <= 5; ++n) {
        ExpectAt(board(), n, expected[n - 1]);
    }
}

TEST_F(BoardArrange, aFullRowOfTenStartsTheNextRow) {
    for (int n = 1; n <= 11; ++n) {
        InsertGroup(n, "", "", 0, 0);
    }
    Start();
    board().mnuLocInitGroup->trigger();
    ExpectAt(board(), 10, QPoint(592, 0));
    ExpectAt(board(), 11, QPoint(16, 64));
}

TEST_F(BoardArrange, anEmptyBoardOrADetachedDatabaseSendsNothing) {
    Start();
    RecordStatements();
    board().mnuLocInitGroup->trigger();
    EXPECT_EQ(sent, Strings{TableNamesText()});

    InsertGroup(1, "A", "", 300, 100);
    board().RebuildBoard();
    BoardMouse(board()).Select(1);
    board().database().DisconnectDatabase();
    sent.clear();
    board().mnuLocInitGroup->trigger();
    board().mnuMoveGroup->trigger();
    EXPECT_TRUE(sent.empty());
    ExpectAt(board(), 1, QPoint(300, 100));
}

TEST_F(BoardArrange, movingToTheUpperLeftCornerShowsAWideCaptionWholeFromTheEdge) {
    InsertGroup(1, "A", "", 0, 0);
    InsertGroup(2, "a caption wider than its icon", "", 200, 90);
    Start();
    BoardMouse(board()).Select(2);
    RecordStatements();
    board().mnuMoveGroup->trigger();
    EXPECT_EQ(sent, (Strings{TableNamesText(), PositionWrite("X=0,Y=0", 2)}));
    ExpectAt(board(), 2, QPoint(0, 0));
    EXPECT_EQ(CaptionOf(board(), 2)->x(), 0);
    EXPECT_EQ(board().SelectedGroup, 2);

    sent.clear();
    board().mnuMoveGroup->trigger();  // already there
    EXPECT_EQ(sent, Strings{TableNamesText()});
}

TEST_F(BoardArrange, movingNeedsTheSelectedGroupsNumberAndItsIcon) {
    InsertGroup(1, "A", "", 40, 40);
    Start();
    RecordStatements();
    board().mnuMoveGroup->trigger();  // nothing selected
    BoardMouse(board()).Select(1);
    board().Edit3->clear();
    board().mnuMoveGroup->trigger();
    // A selection naming a group the board has no icon for moves nothing.
    board().SelectedGroup = 9;
    board().Edit3->setText(QStringLiteral("9"));
    board().mnuMoveGroup->trigger();
    for (const std::string& text : sent) {
        EXPECT_FALSE(text.starts_with("UPDATE")) << text;
    }
    ExpectAt(board(), 1, QPoint(40, 40));
}
