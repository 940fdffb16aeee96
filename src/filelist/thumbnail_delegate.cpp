#include "filelist/thumbnail_delegate.h"

#include <QApplication>
#include <QPainter>

#include "filelist/thumbnail_size.h"
#include "preview/thumbnails.h"

namespace {

QStyle* StyleOf(const QStyleOptionViewItem& option) {
    return option.widget != nullptr ? option.widget->style() : QApplication::style();
}

}  // namespace

ThumbnailDelegate::ThumbnailDelegate(Thumbnails& thumbnails, int pathRole, int missingRole, QObject* parent)
    : QStyledItemDelegate(parent), thumbnails_(thumbnails), pathRole_(pathRole), missingRole_(missingRole) {}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem item = AtSide(option, index);
    if (const QVariant missing = index.data(missingRole_); missing.isValid()) {
        item.icon = missing.value<QIcon>();
    }
    const QString path = index.data(pathRole_).toString();
    if (side_ > kPlainIconSide && !path.isEmpty()) {
        // Painting asks for the rows in view only, and asks for them before all others.
        const QPixmap thumbnail = thumbnails_.Get(path, side_, true);
        if (!thumbnail.isNull()) {
            item.icon = QIcon(thumbnail);
        }
    }
    StyleOf(option)->drawControl(QStyle::CE_ItemViewItem, &item, painter, option.widget);
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QStyleOptionViewItem item = AtSide(option, index);
    return StyleOf(option)->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), option.widget);
}

QStyleOptionViewItem ThumbnailDelegate::AtSide(const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    item.decorationSize = QSize(side_, side_);
    return item;
}
