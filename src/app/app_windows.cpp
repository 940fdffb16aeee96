#include "app/app_windows.h"

#include "board/board_file_drop.h"
#include "platform/painting_wait.h"
#include "relink/folder_mapping_dialog.h"
#include "relink/folder_replace_dialog.h"
#include "relink/missing_files_window.h"

AppWindows::AppWindows(AppContext& context)
    : form1(context),
      form2(context, form1.database(), &form1),
      form3(context, form1.database(), &form1),
      form5(context, form1.database(), &form1),
      form4(context, form1.database(), &form1),
      search(context, form1, form3),
      backup(context, form1) {
    // Where each window stands until the settings file says otherwise.
    form2.move(250, 150);
    form3.move(193, 109);
    form3.resize(654, 317);
    form5.move(260, 160);
    form4.move(240, 140);
    form1.SetWindows(BoardWindows{&form2, &form3, &form5, &form4});
    form1.database().SetWaiter(WaitWhilePainting);
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
    connection = new ConnectionKeeper(form1, search.watcher);
}
