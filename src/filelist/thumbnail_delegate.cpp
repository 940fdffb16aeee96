#include "filelist/thumbnail_delegate.h"

#include <QApplication>
#include <QPainter>

#include "filelist/thumbnail_size.h"
#include "preview/thumbnails.h"

ThumbnailDelegate::ThumbnailDelegate(Thumbnails& thumbnails, int pathRole, QObject* parent)
    : QStyledItemDelegate(parent), thumbnails_(thumbnails), pathRole_(pathRole) {}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString path = index.data(pathRole_).toString();
    if (side_ > kPlainIconSide && !path.isEmpty()) {
        // Painting asks for the rows in view only, and asks for them before all others.
        const QPixmap thumbnail = thumbnails_.Get(path, side_, true);
        if (!thumbnail.isNull()) {
            item.icon = QIcon(thumbnail);
        }
    }
    item.decorationSize = QSize(side_, side_);
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
}
