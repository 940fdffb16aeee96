#include "board/board_window.h"
#include "common/settings_file.h"
#include "dialogs/database_settings_dialog.h"
#include "dialogs/group_create_dialog.h"
#include "dialogs/group_edit_dialog.h"
#include "filelist/file_list_window.h"
#include "platform/window_place.h"

namespace {

WindowPlace PlaceOf(const QWidget& window) {
    return WindowPlace{window.x(), window.y()};
}

}  // namespace

SavedSettings TForm1::CurrentSettings() const {
    SavedSettings saved = otherWindows_;
    const QSize client = ClientSize();
    saved.mainWindow = WindowRect{x(), y(), client.width(), client.height()};
    if (windows_.fileList == nullptr) {
        return saved;
    }
    saved.databaseDialog = PlaceOf(*windows_.databaseSettings);
    const TForm3& fileList = *windows_.fileList;
    saved.fileList = WindowRect{fileList.x(), fileList.y(), fileList.width(), fileList.height()};
    saved.createDialog = PlaceOf(*windows_.groupCreate);
    saved.editDialog = PlaceOf(*windows_.groupEdit);
    for (int column = 0; column < static_cast<int>(saved.columnWidths.size()); ++column) {
        saved.columnWidths[column] = fileList.ColumnWidth(column);
    }
    saved.viewStyle = fileList.ViewStyleIndex();
    return saved;
}

void TForm1::ApplySettings(const SavedSettings& saved) {
    // Sized first: a resize places the window by its client area again.
    SetClientSize(saved.mainWindow.width, saved.mainWindow.height);
    PlaceWindowFrame(*this, saved.mainWindow.left, saved.mainWindow.top);
    otherWindows_ = saved;
    PlaceOtherWindows();
}

void TForm1::PlaceOtherWindows() {
    if (windows_.fileList == nullptr) {
        return;
    }
    const SavedSettings& saved = otherWindows_;
    PlaceWindowFrame(*windows_.databaseSettings, saved.databaseDialog.left, saved.databaseDialog.top);
    TForm3& fileList = *windows_.fileList;
    fileList.resize(saved.fileList.width, saved.fileList.height);
    PlaceWindowFrame(fileList, saved.fileList.left, saved.fileList.top);
    PlaceWindowFrame(*windows_.groupCreate, saved.createDialog.left, saved.createDialog.top);
    PlaceWindowFrame(*windows_.groupEdit, saved.editDialog.left, saved.editDialog.top);
    for (int column = 0; column < static_cast<int>(saved.columnWidths.size()); ++column) {
        fileList.SetColumnWidth(column, saved.columnWidths[column]);
    }
    fileList.SetViewStyleIndex(saved.viewStyle);
}
