#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <array>

#include "board_mouse.h"
#include "filelist/file_list_view.h"
#include "search_fixture.h"
#include "storage/schema.h"
#include "support/full_length_names.h"

namespace {

// Group 1 "A" selected on the board; the watch has taken its first look.
class Refresh : public SearchTest {
protected:
    void SetUp() override {
        AddGroup(1, "A");
        CreateFileTables({1});
        Start();
        ASSERT_TRUE(board().SelectGroup(1));
        Look();
    }
    ChangeWatcher& Watcher() { return windows->search.watcher; }
    // One look of the watch, over its own connection, to its end.
    void Look() {
        Watcher().Check();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Watcher().Looking(); }, 20000));
    }
    FileListView* List() { return windows->form3.findChild<FileListView*>(QStringLiteral("ListView1")); }
};

TEST_F(Refresh, anotherDesktopsChangesShowAndTheSelectionStaysWithNewDetails) {
    AddGroup(2, "B");
    ASSERT_TRUE(other.UpdateSet(kGroupTable, "GRPNAME='A2'", "N=1"));
    Look();
    EXPECT_NE(IconOf(board(), 2), nullptr);
    EXPECT_EQ(board().SelectedGroup, 1);
    EXPECT_EQ(board().Edit1->text(), QStringLiteral("A2"));
    EXPECT_EQ(CaptionOf(board(), 1)->text(), QStringLiteral("A2"));
}

TEST_F(Refresh, aSelectedGroupDeletedElsewhereIsNoLongerSelected) {
    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=1"));
    windows->search.mnuRefresh->trigger();
    EXPECT_EQ(IconOf(board(), 1), nullptr);
    EXPECT_EQ(board().SelectedGroup, 0);
    EXPECT_TRUE(board().Edit3->text().isEmpty());
}

TEST_F(Refresh, theProgramsOwnWritesRebuildNothing) {
    // Watched by a guarded pointer: a rebuilt board's new label may take the freed one's address.
    const QPointer<QLabel> icon = IconOf(board(), 1);
    ASSERT_TRUE(board().database().UpdateSet(kGroupTable, "X=40,Y=0", "N=1"));
    Look();
    EXPECT_FALSE(icon.isNull());
}

TEST_F(Refresh, anotherDesktopsChangesShowWhateverThisDesktopWroteMeanwhile) {
    Database& own = board().database();
    AddGroup(2, "B");
    Look();
    // Each time this desktop writes in the same moments as the other: an icon stored after a drag.
    ASSERT_TRUE(other.UpdateSet(kGroupTable, "GRPNAME='A2'", "N=1"));
    ASSERT_TRUE(own.UpdateSet(kGroupTable, "X=40,Y=0", "N=2"));
    Look();
    EXPECT_EQ(CaptionOf(board(), 1)->text(), QStringLiteral("A2"));

    ASSERT_TRUE(own.UpdateSet(kGroupTable, "X=50,Y=0", "N=2"));
    AddGroup(3, "C");
    Look();
    EXPECT_NE(IconOf(board(), 3), nullptr);

    // A group deleted elsewhere while this desktop adds one leaves the count as it was.
    ASSERT_TRUE(other.DeleteRows(kGroupTable, "N=3"));
    ASSERT_TRUE(own.InsertRow(kGroupTable, std::array<std::string, 2>{"N", "GRPNAME"},
                              std::array<std::string, 2>{"4", "'D'"}));
    Look();
    EXPECT_EQ(IconOf(board(), 3), nullptr);
    EXPECT_NE(IconOf(board(), 4), nullptr);
}

TEST_F(Refresh, notWhileAPressIsPendingButOnceItIsComplete) {
    // A click leaves its press pending, with no button held, until the next movement.
    BoardMouse mouse(board());
    mouse.Press(IconOf(board(), 1), QPoint(4, 4));
    mouse.Release(IconOf(board(), 1), QPoint(4, 4));
    AddGroup(2, "B");
    Look();
    EXPECT_EQ(IconOf(board(), 2), nullptr);
    mouse.Move(board().Board, mouse.EmptySpot());
    Look();
    EXPECT_NE(IconOf(board(), 2), nullptr);
}

TEST_F(Refresh, rowsAddedElsewhereToTheOpenFileListAreListed) {
    board().OpenSelectedGroup();
    Look();
    AddFile(1, 1, "new.dwg", "/d/");
    Look();
    ASSERT_EQ(List()->RowCount(), 1);
    EXPECT_EQ(List()->Row(0).fileName, "new.dwg");
}

TEST_F(Refresh, aRegistrationReplacedElsewhereJustAfterTheListOpenedShowsAtTheNextLook) {
    const std::string folder = FullLengthFolder("d");
    AddFile(1, 1, FullLengthName("a"), folder);
    AddFile(1, 2, FullLengthName("b"), folder);
    board().OpenSelectedGroup();
    // Before the watch looks again, another desktop takes out the last registration and registers
    // another file, which gets its number: the count stays as the list read it.
    ASSERT_TRUE(other.DeleteRows(FileTableName(1), "N=2"));
    AddFile(1, 2, FullLengthName("c"), folder);
    Look();
    ASSERT_EQ(List()->RowCount(), 2);
    EXPECT_EQ(List()->Row(1).fileName, FullLengthName("c"));
}

}  // namespace
