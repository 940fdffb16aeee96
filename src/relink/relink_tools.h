#pragma once

struct AppContext;
class Database;
class FolderMappingDialog;
class FolderReplaceDialog;
class MissingFilesWindow;
class QMenu;
class QWidget;

// The relinking tools of the main window, alive as long as it is.
struct RelinkTools {
    MissingFilesWindow* missingFiles = nullptr;
    FolderReplaceDialog* folderReplace = nullptr;
    FolderMappingDialog* folderMappings = nullptr;
};

// Adds, after a separator, "リンク切れファイル(&L)...", "フォルダの置換(&P)..." and
// "フォルダの対応(&M)..." to the tools menu.
RelinkTools AddRelinkTools(QMenu& tools, AppContext& context, Database& database, QWidget& mainWindow);
