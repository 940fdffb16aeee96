#pragma once

#include "backup/backup_keeper.h"

class QAction;
class QMenu;
class TForm1;
struct AppContext;

// Backups and restore of the board's database, and their commands "バックアップを作成(&B)" and
// "バックアップから復元(&E)...".
class BackupTools {
public:
    BackupTools(AppContext& context, TForm1& board);
    // Adds the commands, after a separator, to the end of the tools menu.
    void AddTo(QMenu& tools);

    BackupKeeper keeper;
    QAction* mnuBackup;
    QAction* mnuRestore;
};
