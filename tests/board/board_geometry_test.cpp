#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <utility>

#include "board/board_grid.h"
#include "board/caption_placement.h"
#include "board/group_copy_values.h"
#include "board/group_slots.h"
#include "board/startup_paths.h"

TEST(CaptionPlacement, centresByHalvingBothWidthsShowsWholeAndStandsThreeBelowTheIcon) {
    EXPECT_EQ(CaptionLeft(200, 32, 100), 166);
    EXPECT_EQ(CaptionLeft(0, 32, 31), 1);
    // A caption wider than the room left of its icon begins at the edge, whole; not when its icon is
    // beyond the edge itself.
    EXPECT_EQ(CaptionLeft(0, 32, 80), 0);
    EXPECT_EQ(CaptionLeft(10, 32, 100), 0);
    EXPECT_EQ(CaptionLeft(24, 32, 80), 0);
    EXPECT_EQ(CaptionLeft(25, 32, 80), 1);
    EXPECT_EQ(CaptionLeft(-8, 25, 7), -8 + 12 - 3);
    EXPECT_EQ(CaptionLeft(-8, 32, 100), -8 + 16 - 50);
    EXPECT_EQ(CaptionTop(10, 32), 45);
    EXPECT_EQ(CaptionTop(-40, 32), -5);
}

TEST(CaptionPlacement, staysInRangeForIconsAtTheEndsOfTheIntegerRange) {
    EXPECT_EQ(CaptionLeft(INT_MAX, 32, 10), INT_MAX);
    EXPECT_EQ(CaptionLeft(INT_MIN, 32, 200), INT_MIN);
    EXPECT_EQ(CaptionTop(INT_MAX - 10, 32), INT_MAX);
}

TEST(BoardGrid, oneColumnMoreThanWholeCellsFitAndIconsSixteenIntoTheirCells) {
    EXPECT_EQ(GridColumns(608), 10);
    EXPECT_EQ(GridColumns(100), 2);
    EXPECT_EQ(GridColumns(63), 1);
    EXPECT_EQ(GridColumns(64), 2);
    auto at = [](int index, int columns) {
        const GridCell cell = GridCellOf(index, columns);
        return std::pair(cell.left, cell.top);
    };
    EXPECT_EQ(at(0, 10), std::pair(16, 0));
    EXPECT_EQ(at(9, 10), std::pair(592, 0));
    EXPECT_EQ(at(10, 10), std::pair(16, 64));
    EXPECT_EQ(at(5, 2), std::pair(80, 128));
    EXPECT_EQ(at(3, 1), std::pair(16, 192));
}

TEST(GroupCopyValues, copyKeepsTextsAsLiteralsWithNullForEmptyAndMovesTwelveEachWay) {
    const GroupRecord source{"2", "A", "title", "", "author", "", "it's", "", "pic.bmp", "80", ""};
    EXPECT_EQ(CopiedGroupValues(source, 6),
              (std::array<std::string, 11>{"6", "'A'", "'title'", "NULL", "'author'", "NULL", "'it''s'",
                                           "NULL", "'pic.bmp'", "92", "12"}));
    EXPECT_EQ(CopiedPosition("-20"), -8);
    EXPECT_EQ(CopiedPosition("2147483647"), 2147483659LL);  // told apart from a wrapped number
}

TEST(GroupSlotTable, addressesOnlyNumbersOneToSlotCount) {
    GroupSlotTable table;
    table.Reset(5);
    EXPECT_EQ(table.SlotCount(), 5);
    EXPECT_NE(table.Slot(1), nullptr);
    EXPECT_NE(table.Slot(5), nullptr);
    EXPECT_EQ(table.Slot(0), nullptr);
    EXPECT_EQ(table.Slot(-1), nullptr);
    EXPECT_EQ(table.Slot(6), nullptr);
    EXPECT_EQ(table.LiveSlot(5), nullptr);  // made, but not live
    table.Slot(5)->Live = true;
    EXPECT_EQ(table.LiveSlot(5), table.Slot(5));
    table.Append();
    EXPECT_EQ(table.SlotCount(), 6);
    EXPECT_NE(table.Slot(6), nullptr);
    table.Reset(0);
    EXPECT_EQ(table.Slot(5), nullptr);
    EXPECT_EQ(table.LiveSlot(5), nullptr);
}

TEST(GroupSlotTable, hugeGroupNumbersCostOnlyTheSlotsInUse) {
    GroupSlotTable table;
    table.Reset(2000000000);
    table.Slot(2000000000)->Live = true;
    table.Slot(7)->Live = true;
    table.Slot(3);  // made but never live
    std::vector<int> visited;
    table.ForEachLive([&](int groupNo, GroupSlot&) { visited.push_back(groupNo); });
    EXPECT_EQ(visited, (std::vector<int>{7, 2000000000}));
    table.Reset(INT_MAX);
    table.Append();  // the count cannot pass the largest number
    EXPECT_EQ(table.SlotCount(), INT_MAX);
}

TEST(StartupPaths, settingsFileSharesTheExecutablesNameAndFolder) {
    EXPECT_EQ(SettingsFileOf(QStringLiteral("/opt/qarto/qarto-groups")),
              QStringLiteral("/opt/qarto/qarto-groups.dat"));
    EXPECT_EQ(SettingsFileOf(QStringLiteral("/opt/qarto/renamed.bin")),
              QStringLiteral("/opt/qarto/renamed.dat"));
    EXPECT_EQ(SettingsFileOf(QStringLiteral("/opt/v1.2/qarto")), QStringLiteral("/opt/v1.2/qarto.dat"));
    EXPECT_EQ(SettingsFileOf(QStringLiteral("/opt/a.b.c")), QStringLiteral("/opt/a.b.dat"));
    EXPECT_EQ(AppDirOf(QStringLiteral("/opt/v1.2/qarto")), QStringLiteral("/opt/v1.2/"));
}
