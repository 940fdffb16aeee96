#include "board/board_file_drop.h"

#include <QDropEvent>
#include <QMimeData>

#include "board/board_window.h"
#include "filelist/dropped_files.h"
#include "filelist/file_list_window.h"
#include "storage/group_presence.h"
#include "storage/schema.h"

BoardFileDrop::BoardFileDrop(TForm1& board, TForm3& fileList)
    : QObject(&board), board_(board), fileList_(fileList) {
    // Drops over an icon or its caption reach the board, the nearest widget that takes drops.
    board_.Board->setAcceptDrops(true);
    board_.Board->installEventFilter(this);
}

int BoardFileDrop::GroupAt(QPoint onBoard) const {
    const QWidget* child = board_.Board->childAt(onBoard);
    if (child == nullptr || !child->objectName().startsWith(QStringLiteral("Imag"))) {
        return 0;
    }
    return child->property("tag").toInt();
}

bool BoardFileDrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched != board_.Board) {
        return false;
    }
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            // The enter is taken for any file drag, so that the moves over the icons arrive.
            auto* drag = static_cast<QDragMoveEvent*>(event);
            const bool files =
                CarriesLocalFiles(*drag->mimeData()) && (drag->possibleActions() & Qt::CopyAction);
            if (files && (event->type() == QEvent::DragEnter || GroupAt(drag->position().toPoint()) != 0)) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const int groupNo = GroupAt(drop->position().toPoint());
            if (groupNo == 0 || !CarriesLocalFiles(*drop->mimeData())) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // A group another desktop deleted gets no table again; registering then says it is gone.
            const std::string fileTable = FileTableName(groupNo);
            Database& database = board_.database();
            if (!GroupDeleted(database, groupNo) && !database.TableExists(fileTable)) {
                CreateFileTable(database, fileTable);
            }
            fileList_.RegisterDroppedFiles(groupNo, *drop->mimeData(), &board_);
            return true;
        }
        default:
            return false;
    }
}
