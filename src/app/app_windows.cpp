#include "app/app_windows.h"

#include "board/board_file_drop.h"
#include "common/designed_settings.h"
#include "platform/app_context.h"
#include "platform/painting_wait.h"
#include "relink/folder_mapping_dialog.h"
#include "relink/folder_replace_dialog.h"
#include "relink/missing_files_window.h"

BoardStart::BoardStart(AppContext& context) : form1(context), search(context, form1), backup(context, form1) {
    form1.database().SetWaiter(WaitWhilePainting);
    connection = new ConnectionKeeper(form1, search.watcher);
}

AppWindows::AppWindows(AppContext& context) : AppWindows(context, std::make_unique<BoardStart>(context)) {}

AppWindows::AppWindows(AppContext& context, std::unique_ptr<BoardStart> start)
    : start_(std::move(start)),
      form1(start_->form1),
      search(start_->search),
      backup(start_->backup),
      connection(start_->connection),
      form2(context, form1.database(), &form1),
      form3(context, form1.database(), &form1),
      form5(context, form1.database(), &form1),
      form4(context, form1.database(), &form1),
      send(context, form1, form3) {
    // Where each window stands until the settings file says otherwise; the board then places the
    // windows the file names elsewhere.
    const SavedSettings designed = DesignedSettings(context.settings);
    form2.move(designed.databaseDialog.left, designed.databaseDialog.top);
    form3.move(designed.fileList.left, designed.fileList.top);
    form3.resize(designed.fileList.width, designed.fileList.height);
    form5.move(designed.editDialog.left, designed.editDialog.top);
    form4.move(designed.createDialog.left, designed.createDialog.top);
    form1.SetWindows(BoardWindows{&form2, &form3, &form5, &form4});
    search.AddFileList(form3);
    relink = AddRelinkTools(*form1.mnuTool, context, form1.database(), form1);
    // New folders show at once wherever registrations are shown.
    const auto showNewFolders = [this] {
        if (form3.isVisible()) {
            form3.Reload();
        }
        search.window.SearchAgain();
    };
    QObject::connect(relink.missingFiles, &MissingFilesWindow::FoldersChanged, &form1, showNewFolders);
    QObject::connect(relink.folderReplace, &FolderReplaceDialog::FoldersChanged, &form1, showNewFolders);
    // Files are found elsewhere under new folder mappings.
    QObject::connect(relink.folderMappings, &FolderMappingDialog::MappingsChanged, &form1, showNewFolders);
    QObject::connect(relink.missingFiles, &MissingFilesWindow::MappingsChanged, &form1, showNewFolders);
    backup.AddTo(*form1.mnuTool);
    new BoardFileDrop(form1, form3);  // owned by the board
}
