#pragma once

struct AppContext;
class Database;
class FolderReplaceDialog;
class MissingFilesWindow;
class QMenu;
class QWidget;

// The relinking tools of the main window, alive as long as it is.
struct RelinkTools {
    MissingFilesWindow* missingFiles = nullptr;
    FolderReplaceDialog* folderReplace = nullptr;
};

// Adds, after a separator, "リンク切れファイル(&L)..." and "フォルダの置換(&P)..." to the tools menu.
RelinkTools AddRelinkTools(QMenu& tools, AppContext& context, Database& database, QWidget& mainWindow);
