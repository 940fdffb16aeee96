#include "app/search_tools.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>

#include "board/board_window.h"
#include "filelist/file_list_window.h"
#include "platform/app_context.h"

SearchTools::SearchTools(AppContext& context, TForm1& board)
    : index(board.database(), QFile::encodeName(context.searchIndexFolder).toStdString(), &board),
      window(board.database(), context.folderMappings, &board),
      watcher(board.database(),
              ChangeWatcher::Views{[&board] { return board.IconPressed; }, [this] { return ListedGroup(); },
                                   [this](bool everything) { Refresh(everything); }},
              &board),
      mnuSearch(new QAction(QStringLiteral("検索(&F)..."), &board)),
      mnuRefresh(new QAction(QStringLiteral("最新の情報に更新(&R)"), &board)),
      board_(board) {
    mnuSearch->setObjectName(QStringLiteral("mnuSearch"));
    mnuSearch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuRefresh->setObjectName(QStringLiteral("mnuRefresh"));
    mnuRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    // The first items of the menu, whatever else the program's tools add to it.
    const QList<QAction*> present = board.mnuTool->actions();
    board.mnuTool->insertActions(present.isEmpty() ? nullptr : present.first(), {mnuSearch, mnuRefresh});

    QObject::connect(mnuSearch, &QAction::triggered, &window, &SearchWindow::ShowForTyping);
    QObject::connect(mnuRefresh, &QAction::triggered, &watcher, &ChangeWatcher::RequestRefresh);
    window.onOpen = [this](const SearchHit& hit) { Open(hit); };
    board.onViewRead = [this](const std::string& table, const std::optional<TableState>& state) {
        watcher.ViewRead(table, state);
    };
    if (!context.searchIndexFolder.isEmpty()) {
        window.UseIndex(&index);
        watcher.onCounted = [this](const TableWrites& counts) { index.Counted(counts); };
    }
    board.database().SetWriteObserver(
        [this](const Database::OwnWrite& write) {
            watcher.NoteOwnWrite(write);
            index.Wrote(write.table);
        },
        [this](std::string_view table) { return watcher.Watches(table); });
}

void SearchTools::AddFileList(TForm3& fileList) {
    fileList_ = &fileList;
    fileList.onGroupsHoldingFile = [this](const std::string& folder, const std::string& fileName) {
        window.ShowGroupsHolding(folder, fileName);
    };
    fileList.onViewRead = board_.onViewRead;
}

int SearchTools::ListedGroup() const {
    return fileList_ != nullptr && fileList_->isVisible() ? fileList_->GroupNo : 0;
}

void SearchTools::Refresh(bool everything) {
    if (everything) {
        board_.RefreshBoard();
    }
    if (fileList_ != nullptr && fileList_->isVisible()) {
        fileList_->Reload();
    }
}

void SearchTools::Open(const SearchHit& hit) {
    if (!board_.SelectGroup(hit.groupNo)) {
        board_.RefreshBoard();
        window.StatusBar1->setText(QStringLiteral("グループが見つかりません。"));
        return;
    }
    board_.activateWindow();
    if (hit.kind == SearchHit::Kind::File) {
        board_.OpenSelectedGroup();
        if (fileList_ != nullptr) {
            fileList_->SelectFileNumber(hit.fileNo);
        }
    }
}
