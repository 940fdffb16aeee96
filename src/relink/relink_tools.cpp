#include "relink/relink_tools.h"

#include <QAction>
#include <QMenu>

#include "relink/folder_replace_dialog.h"
#include "relink/missing_files_window.h"

RelinkTools AddRelinkTools(QMenu& tools, AppContext& context, Database& database, QWidget& mainWindow) {
    RelinkTools relink{new MissingFilesWindow(context, database, &mainWindow),
                       new FolderReplaceDialog(context, database, &mainWindow)};
    tools.addSeparator();
    QAction* missingFiles = tools.addAction(QStringLiteral("リンク切れファイル(&L)..."));
    missingFiles->setObjectName(QStringLiteral("mnuMissingFiles"));
    QObject::connect(missingFiles, &QAction::triggered, relink.missingFiles, &MissingFilesWindow::Open);
    QAction* replaceFolder = tools.addAction(QStringLiteral("フォルダの置換(&P)..."));
    replaceFolder->setObjectName(QStringLiteral("mnuReplaceFolder"));
    QObject::connect(replaceFolder, &QAction::triggered, relink.folderReplace, &FolderReplaceDialog::Open);
    // Folders replaced while the missing files are listed: the list is read again.
    QObject::connect(relink.folderReplace, &QDialog::accepted, relink.missingFiles,
                     [window = relink.missingFiles] {
                         if (window->isVisible()) {
                             window->Open();
                         }
                     });
    return relink;
}
