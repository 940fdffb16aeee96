#include "relink/relink_tools.h"

#include <QAction>
#include <QMenu>

#include "relink/folder_mapping_dialog.h"
#include "relink/folder_replace_dialog.h"
#include "relink/missing_files_window.h"

RelinkTools AddRelinkTools(QMenu& tools, AppContext& context, Database& database, QWidget& mainWindow) {
    RelinkTools relink{new MissingFilesWindow(context, database, &mainWindow),
                       new FolderReplaceDialog(context, database, &mainWindow),
                       new FolderMappingDialog(context, &mainWindow)};
    tools.addSeparator();
    QAction* missingFiles = tools.addAction(QStringLiteral("リンク切れファイル(&L)..."));
    missingFiles->setObjectName(QStringLiteral("mnuMissingFiles"));
    QObject::connect(missingFiles, &QAction::triggered, relink.missingFiles, &MissingFilesWindow::Open);
    QAction* replaceFolder = tools.addAction(QStringLiteral("フォルダの置換(&P)..."));
    replaceFolder->setObjectName(QStringLiteral("mnuReplaceFolder"));
    QObject::connect(replaceFolder, &QAction::triggered, relink.folderReplace, &FolderReplaceDialog::Open);
    QAction* mapFolders = tools.addAction(QStringLiteral("フォルダの対応(&M)..."));
    mapFolders->setObjectName(QStringLiteral("mnuFolderMappings"));
    QObject::connect(mapFolders, &QAction::triggered, relink.folderMappings, &FolderMappingDialog::Open);
    // Folders replaced or mapped anew while the missing files are listed: the list is read again.
    const auto scanAgain = [window = relink.missingFiles] {
        if (window->isVisible()) {
            window->Open();
        }
    };
    QObject::connect(relink.folderReplace, &QDialog::accepted, relink.missingFiles, scanAgain);
    QObject::connect(relink.folderMappings, &FolderMappingDialog::MappingsChanged, relink.missingFiles,
                     scanAgain);
    return relink;
}
