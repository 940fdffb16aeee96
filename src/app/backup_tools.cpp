#include "app/backup_tools.h"

#include <QAction>
#include <QMenu>

#include "board/board_window.h"

BackupTools::BackupTools(AppContext& context, TForm1& board)
    : keeper(context, board.database(), *board.StatusBar1, board),
      mnuBackup(new QAction(QStringLiteral("バックアップを作成(&B)"), &board)),
      mnuRestore(new QAction(QStringLiteral("バックアップから復元(&E)..."), &board)) {
    mnuBackup->setObjectName(QStringLiteral("mnuBackup"));
    mnuRestore->setObjectName(QStringLiteral("mnuRestore"));
    QObject::connect(mnuBackup, &QAction::triggered, &keeper, &BackupKeeper::BackupNow);
    QObject::connect(mnuRestore, &QAction::triggered, &keeper, &BackupKeeper::OpenRestore);
    keeper.switchDatabase = [&board](const ConnectionSettings& settings) { board.SwitchDatabase(settings); };
}

void BackupTools::AddTo(QMenu& tools) {
    tools.addSeparator();
    tools.addAction(mnuBackup);
    tools.addAction(mnuRestore);
}
