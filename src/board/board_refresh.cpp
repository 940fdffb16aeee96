#include "board/board_window.h"
#include "platform/app_context.h"
#include "platform/prompts.h"
#include "storage/group_presence.h"

void TForm1::RefreshBoard() {
    // Without its connection the board keeps what it shows until it is back.
    if (database_.Lost()) {
        return;
    }
    RebuildBoard();
    if (SelectedGroup != 0 && !SelectGroup(SelectedGroup)) {
        ClearSelection();
    }
}

bool TForm1::SelectGroup(int groupNo) {
    if (groupNo <= 0 || !MasterTableReady() || !GroupExists(database_, groupNo)) {
        return false;
    }
    DropPress();
    SelectedGroup = groupNo;
    ShowDetails(groupNo);
    return true;
}

void TForm1::GroupGone(const QString& message) {
    RefreshBoard();
    context_.prompts->Message(this, message);
}
