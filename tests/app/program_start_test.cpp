#include <QFile>
#include <QMenu>
#include <QTest>

#include "app/program_start.h"
#include "board/program_fixture.h"

namespace {

// The program's own start: the board shows first, its other windows follow once it has been painted.
class ProgramStartTest : public ProgramTest {
protected:
    ProgramStartTest() { WriteSettings(SettingsPlacingEveryWindow(), SettingsPath()); }
    ~ProgramStartTest() override { start.reset(); }

    // Shows the board as main() does; the other windows are not made yet.
    void ShowBoard() {
        start = std::make_unique<ProgramStart>(context);
        start->board().show();
    }

    std::unique_ptr<ProgramStart> start;
};

TEST_F(ProgramStartTest, theOtherWindowsFollowTheBoardsFirstPaintWhereTheSettingsFilePutsThem) {
    ShowBoard();
    ASSERT_EQ(start->windows(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return start->windows() != nullptr; }, 5000));
    AppWindows& windows = *start->windows();
    EXPECT_EQ(&windows.form1, &start->board());
    ExpectPlacedAsSaved(windows);
    // The tools of the windows made later are on the board's menu after the search's.
    const QList<QAction*> tools = start->board().mnuTool->actions();
    ASSERT_FALSE(tools.isEmpty());
    EXPECT_EQ(tools.first(), windows.search.mnuSearch);
    EXPECT_EQ(tools.last(), windows.backup.mnuRestore);
}

TEST_F(ProgramStartTest, aCommandBeforeTheFirstPaintMakesTheWindowsItNeeds) {
    ShowBoard();
    ASSERT_EQ(start->windows(), nullptr);
    QWidget* shown = RunWithDialog([&] { start->board().mnuMakeGroupClick(); }, [](QWidget&) {});
    ASSERT_NE(start->windows(), nullptr);
    EXPECT_EQ(shown, &start->windows()->form4);
    ExpectPlacedAsSaved(*start->windows());
}

TEST_F(ProgramStartTest, closingBeforeTheOtherWindowsAreMadeKeepsTheirPlacesInTheSettingsFile) {
    ShowBoard();
    ASSERT_EQ(start->windows(), nullptr);
    start->board().close();
    SavedSettings written;
    ASSERT_TRUE(LoadSettings(QFile::encodeName(SettingsPath()).toStdString(), written));
    EXPECT_EQ(written.databaseDialog.left, 11);
    EXPECT_EQ(written.databaseDialog.top, 12);
    EXPECT_EQ(written.fileList.left, 13);
    EXPECT_EQ(written.fileList.width, 500);
    EXPECT_EQ(written.fileList.height, 300);
    EXPECT_EQ(written.createDialog.left, 15);
    EXPECT_EQ(written.editDialog.top, 18);
    EXPECT_EQ(written.columnWidths, (std::array<int, 5>{101, 102, 103, 104, 105}));
    EXPECT_EQ(written.viewStyle, 2);
}

}  // namespace
