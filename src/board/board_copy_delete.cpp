#include <QLineEdit>
#include <cstdint>
#include <limits>
#include <optional>

#include "board/board_window.h"
#include "board/group_copy_values.h"
#include "board/read_group_row.h"
#include "common/number.h"
#include "common/sql_literal.h"
#include "platform/app_context.h"
#include "platform/prompts.h"
#include "storage/group_presence.h"
#include "storage/registration.h"
#include "storage/schema.h"
#include "storage/table_copy.h"

namespace {

// What the user is told when another desktop changed the group a command named since it was shown.
QString ChangedElsewhereText(const QString& action) {
    return QStringLiteral("他のコンピューターで変更されたため、") + action +
           QStringLiteral("しませんでした。表示を更新しました。");
}

}  // namespace

void TForm1::mnuCopyGroupClick() {
    const int source = CommandGroup(QStringLiteral("複製失敗"));
    if (source == 0 || !ConfirmForSelected(QStringLiteral("複製"))) {
        return;
    }
    const std::string largest = database_.SelectMax(kGroupTable, "N", "");
    const std::int64_t copyNo = std::int64_t{ParseIntOrZero(largest)} + 1;
    // Without the largest number there is nothing sound to copy, and a number past the largest
    // integer cannot be given out.
    const bool numbered = !largest.empty() && copyNo <= std::numeric_limits<std::int32_t>::max();
    std::optional<GroupRecord> row;
    if (!numbered || !CopyGroupRows(source, copyNo, row)) {
        // The source no longer as the user saw it: the board shows what the database now holds.
        if (row && ParseIntOrZero((*row)[kGroupN]) != source) {
            GroupGone(GroupDeleted(database_, source) ? QStringLiteral("複製失敗")
                                                      : ChangedElsewhereText(QStringLiteral("複製")));
        } else {
            context_.prompts->Message(this, QStringLiteral("複製失敗"));
        }
        return;
    }
    GroupSlots.Append();
    // The row was stored, so its position fits the column's 32 bits.
    AddGroupIcon(static_cast<int>(copyNo - 1), static_cast<int>(CopiedPosition((*row)[kGroupX])),
                 static_cast<int>(CopiedPosition((*row)[kGroupY])), (*row)[kGroupName], (*row)[kGroupIcon]);
}

bool TForm1::CopyGroupRows(int source, std::int64_t copyNo, std::optional<GroupRecord>& row) {
    // The source row is read as the user saw it in the transaction that writes the copy's row, and
    // that row in the same transaction as the copied file list: a copy cut short leaves no group
    // behind, and until it is committed its row keeps the number from another desktop.
    const GroupRecord seen = shownGroup_;
    const auto addRow = [&] {
        row = ReadGroupRowAsSeen(database_, seen);
        return ParseIntOrZero((*row)[kGroupN]) == source &&
               database_.InsertRow(kGroupTable, GroupColumnNames(), CopiedGroupValues(*row, copyNo));
    };
    const std::string sourceFiles = FileTableName(source);
    const std::string copyFiles = FileTableName(copyNo);
    if (database_.TableExists(sourceFiles)) {
        return CopyTable(database_, sourceFiles, copyFiles, addRow);
    }
    // A group never opened has no file list yet; the copy gets its own when it is first opened, and
    // none that a deleted group of its number left behind.
    const bool leftover = database_.TableExists(copyFiles);
    return database_.WriteTogether(
        [&] { return addRow() && (!leftover || database_.DeleteRows(copyFiles, "")); });
}

void TForm1::mnuDeleteGroupClick() {
    const int groupNo = CommandGroup(QStringLiteral("削除失敗"));
    if (groupNo == 0 || !ConfirmForSelected(QStringLiteral("削除"))) {
        return;
    }
    // The row and the file table go together or not at all: a file table that another connection is
    // reading is waited for a bounded time, and then the group stays, on the board and with its file
    // list, rather than leaving its files to the next group of its number. The row goes only as the
    // user saw it.
    const std::string files = FileTableName(groupNo);
    const GroupRecord seen = shownGroup_;
    long long removed = -1;
    const bool deleted = database_.WriteTogether([&] {
        removed = database_.DeleteRowsChanged(kGroupTable, SameGroup(seen));
        return removed == 1 && (!database_.TableExists(files) || database_.DropTable(files));
    });
    if (!deleted) {
        if (removed == 0) {
            GroupGone(ChangedElsewhereText(QStringLiteral("削除")));
        } else {
            context_.prompts->Message(this, QStringLiteral("削除失敗"));
        }
        return;
    }
    if (GroupSlot* slot = GroupSlots.LiveSlot(groupNo)) {
        FreeSlot(*slot);
    }
    ClearDetails();
    SelectedGroup = 0;
    DragGroup = 0;
}
