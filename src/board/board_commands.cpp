#include <QLineEdit>
#include <QStatusBar>

#include "board/board_window.h"
#include "board/read_group_row.h"
#include "common/number.h"
#include "dialogs/database_settings_dialog.h"
#include "dialogs/group_create_dialog.h"
#include "dialogs/group_edit_dialog.h"
#include "filelist/file_list_window.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/prompts.h"
#include "storage/group_presence.h"
#include "storage/schema.h"

void TForm1::mnuMakeGroupClick() {
    TForm4& dialog = *Windows().groupCreate;
    dialog.exec();
    // The keyboard comes back to the board, as it does after every other command; the window
    // manager leaves no window active once the dialog and its message are gone.
    activateWindow();
    Board->setFocus();
    if (!dialog.Registered) {
        return;
    }
    const GroupRecord row = ReadGroupRow(database_, dialog.GroupNo);
    GroupSlots.Append();
    // A row that cannot be read back (another client removed it meanwhile) names no slot.
    AddGroupIconFromRow(row);
}

bool TForm1::MasterTableReady() {
    return database_.Attached() && database_.TableExists(kGroupTable);
}

int TForm1::CommandGroup(const QString& failure) {
    if (SelectedGroup == 0 || (!failure.isEmpty() && FailedWhileAway(failure)) || !MasterTableReady()) {
        return 0;
    }
    return ParseIntOrZero(ToCp932(Edit3->text()).value_or(std::string()));
}

bool TForm1::FailedWhileAway(const QString& failure) {
    if (!database_.Lost()) {
        return false;
    }
    context_.prompts->Message(this, failure);
    return true;
}

bool TForm1::ConfirmForSelected(const QString& action) {
    return context_.prompts->Question(this, QStringLiteral("グループ「") + Edit1->text() +
                                                QStringLiteral("」を") + action +
                                                QStringLiteral("します。よろしいですか？"));
}

void TForm1::mnuEditGroupClick() {
    if (SelectedGroup == 0 || FailedWhileAway(QStringLiteral("編集登録失敗")) || !MasterTableReady()) {
        return;
    }
    if (GroupDeleted(database_, SelectedGroup)) {
        GroupGone(QStringLiteral("編集登録失敗"));
        return;
    }
    TForm5& dialog = *Windows().groupEdit;
    dialog.GroupNo = SelectedGroup;
    dialog.exec();
    if (!dialog.Registered) {
        // The dialog showed another desktop's change; the board shows it too.
        if (dialog.ChangedElsewhere) {
            RefreshBoard();
        }
        return;
    }
    const GroupRecord row = ReadGroupRow(database_, SelectedGroup);
    // Without its row there is nothing to build the icon from; the old one stays until the next
    // rebuild rather than the group vanishing from the board on a failed read.
    if (ParseIntOrZero(row[kGroupN]) != SelectedGroup) {
        return;
    }
    AddGroupIconFromRow(row);
    ShowDetailsRow(row);
}

void TForm1::mnuDBsetClick() {
    const std::string previousPath = context_.settings.DatabasePath();
    database_.DisconnectDatabase();
    Windows().databaseSettings->exec();
    database_.ConnectDatabase();
    if (database_.Attached() && StatusBar1->currentMessage() == NoDatabaseHint()) {
        StatusBar1->clearMessage();
    }
    RebuildBoard();
    // Group numbers of another database name other groups: a selection of the old one is dropped,
    // so no command acts on a group the user did not choose.
    if (context_.settings.DatabasePath() != previousPath || GroupSlots.LiveSlot(SelectedGroup) == nullptr) {
        ClearSelection();
    }
}

void TForm1::mnuExitClick() {
    close();
}
