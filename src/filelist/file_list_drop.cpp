#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "filelist/dropped_files.h"
#include "filelist/file_list_window.h"
#include "platform/app_context.h"
#include "platform/prompts.h"

void TForm3::RegisterDroppedFiles(int groupNo, const QMimeData& data, QWidget* messageParent) {
    const DroppedItems items = SplitDroppedItems(data);
    RegisterFiles(groupNo, items.files, messageParent);
    if (!items.folders.isEmpty()) {
        context_.prompts->Message(messageParent, QStringLiteral("フォルダは登録できないため除きました。\n") +
                                                     items.folders.join(QLatin1Char('\n')));
    }
}

namespace {

// Rows dragged from this list and let go over it again are not registered a second time.
bool FromOutside(const QWidget& window, const QDropEvent& event) {
    const auto* source = qobject_cast<const QWidget*>(event.source());
    return source == nullptr || !window.isAncestorOf(source);
}

}  // namespace

void TForm3::dragEnterEvent(QDragEnterEvent* event) {
    if (CarriesLocalFiles(*event->mimeData()) && FromOutside(*this, *event) &&
        (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void TForm3::dragMoveEvent(QDragMoveEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TForm3::dropEvent(QDropEvent* event) {
    if (!CarriesLocalFiles(*event->mimeData()) || !FromOutside(*this, *event)) {
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    RegisterDroppedFiles(GroupNo, *event->mimeData(), this);
}
