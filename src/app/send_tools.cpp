#include "app/send_tools.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include "board/board_window.h"
#include "common/number.h"
#include "filelist/file_list_window.h"
#include "send/drawing_sender.h"

namespace {

// The group the details panel shows, as the board's commands take it; 0 for none.
int SelectedGroupOf(TForm1& board) {
    return board.SelectedGroup != 0 ? ParseIntOrZero(board.Edit3->text().toStdString()) : 0;
}

}  // namespace

SendTools::SendTools(AppContext& context, TForm1& board, TForm3& fileList)
    : sender(new DrawingSender(context, board.database(), board)),
      mnuSend(new QAction(QStringLiteral("図面の送付(&T)..."), &board)),
      mnuSendHistory(new QAction(QStringLiteral("図面の送付の履歴(&H)..."), &board)) {
    mnuSend->setObjectName(QStringLiteral("mnuSend"));
    mnuSendHistory->setObjectName(QStringLiteral("mnuSendHistory"));
    const QList<QAction*> items = board.mnuFile->actions();
    const int after = static_cast<int>(items.indexOf(board.mnuOpenGroup)) + 1;
    QAction* before = after < items.size() ? items[after] : nullptr;
    board.mnuFile->insertActions(before, {mnuSend, mnuSendHistory});
    QObject::connect(mnuSend, &QAction::triggered, sender,
                     [this, &board] { sender->SendGroup(SelectedGroupOf(board)); });
    QObject::connect(mnuSendHistory, &QAction::triggered, sender,
                     [this, &board] { sender->ShowHistory(SelectedGroupOf(board)); });
    fileList.onSendFiles = [this, &fileList](const std::vector<FileRecord>& rows) {
        std::vector<StoredFile> files;
        for (const FileRecord& row : rows) {
            files.push_back({ParseIntOrZero(row[kFileN]), row[kFileName], row[kFilePath]});
        }
        sender->SendFiles(fileList.GroupNo, files, &fileList);
    };
}
