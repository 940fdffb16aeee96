#include <QLabel>

#include "board/board_grid.h"
#include "board/board_window.h"
#include "board/caption_placement.h"
#include "common/sql_literal.h"
#include "storage/schema.h"

void TForm1::mnuMoveGroupClick() {
    if (CommandGroup() == 0) {
        return;
    }
    if (GroupSlot* slot = GroupSlots.LiveSlot(SelectedGroup)) {
        PlaceIcon(*slot, 0, 0);
        StorePosition(SelectedGroup, *slot);
    }
}

void TForm1::mnuLocInitGroupClick() {
    if (!MasterTableReady()) {
        return;
    }
    const int columns = GridColumns(ClientSize().width());
    // Numbers without a live icon take no cell, so the arranged board has no gaps.
    int placed = 0;
    GroupSlots.ForEachLive([&](int groupNo, GroupSlot& slot) {
        const GridCell cell = GridCellOf(placed++, columns);
        PlaceIcon(slot, cell.left, cell.top);
        StorePosition(groupNo, slot);
    });
}

void TForm1::PlaceIcon(GroupSlot& slot, int left, int top) {
    slot.Image->move(left, top);
    slot.Label->move(CaptionLeft(left, slot.Image->width(), slot.Label->width()),
                     CaptionTop(top, slot.Image->height()));
    if (slot.Live && slot.Image->property("tag").toInt() == markedGroup_) {
        MarkSelected(markedGroup_);
    }
}

void TForm1::StorePosition(int groupNo, GroupSlot& slot) {
    const QPoint placed = slot.Image->pos();
    if (placed == QPoint(slot.X, slot.Y)) {
        return;
    }
    // The board keeps the new place even when the write fails; the next rebuild shows the stored one.
    slot.X = placed.x();
    slot.Y = placed.y();
    database_.UpdateSet(kGroupTable, "X=" + SqlNumber(slot.X) + ",Y=" + SqlNumber(slot.Y),
                        "N=" + SqlNumber(groupNo));
}
