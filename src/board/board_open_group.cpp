#include <QLineEdit>

#include "board/board_window.h"
#include "filelist/file_list_window.h"
#include "platform/codec.h"
#include "storage/group_presence.h"
#include "storage/schema.h"

void TForm1::OpenSelectedGroup() {
    // The group opened is the one the details panel shows, whichever icon was double-clicked.
    const int groupNo = CommandGroup();
    if (groupNo == 0) {
        return;
    }
    DropPress();
    // A group deleted meanwhile gets no file table again: it would come back to haunt a new group.
    if (GroupDeleted(database_, groupNo)) {
        GroupGone(QStringLiteral("グループが見つかりません。"));
        return;
    }
    const std::string fileTable = FileTableName(groupNo);
    if (!database_.TableExists(fileTable)) {
        CreateFileTable(database_, fileTable);
    }
    TForm3& fileList = *Windows().fileList;
    // Closing empties the list of the group shown before; showing lists the new one.
    if (fileList.isVisible()) {
        fileList.close();
    }
    fileList.GroupNo = groupNo;
    fileList.GroupName = ToCp932(Edit1->text()).value_or(std::string());
    fileList.show();
    fileList.raise();
    fileList.activateWindow();
}

void TForm1::mnuOpenGroupClick() {
    OpenSelectedGroup();
}
