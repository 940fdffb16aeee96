#include "filelist/file_list_view.h"

#include <QDir>
#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTreeView>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <numeric>
#include <set>
#include <vector>

#include "common/designed_settings.h"
#include "filelist/missing_file_icon.h"
#include "filelist/thumbnail_delegate.h"
#include "filelist/thumbnail_size.h"
#include "platform/codec.h"
#include "preview/thumbnails.h"

namespace {

// A row's first cell keeps the code-page bytes of all its texts, so that sorting, copying and opening
// work on the stored texts exactly.
constexpr int kTextsRole = Qt::UserRole + 1;
constexpr int kImageIndexRole = Qt::UserRole + 2;
constexpr int kLocalPathRole = Qt::UserRole + 3;
// The local path of a file found there, which pictures are asked for by; empty for any other.
constexpr int kPicturePathRole = Qt::UserRole + 4;
constexpr int kLookPathRole = Qt::UserRole + 5;  // code-page bytes
constexpr int kLookIdRole = Qt::UserRole + 6;
constexpr int kFactsRole = Qt::UserRole + 7;
constexpr int kIsFileRole = Qt::UserRole + 8;
// The desktop's icon for the row's kind of file, and what the icon view shows for a file not there.
constexpr int kTypeIconRole = Qt::UserRole + 9;
constexpr int kMissingIconRole = Qt::UserRole + 10;

struct ColumnDesign {
    const char* caption;
    int width;
    Qt::Alignment alignment;
};

const std::array<ColumnDesign, kColumnCount>& Columns() {
    static const std::array<ColumnDesign, kColumnCount> columns{{
        {"ファイル名", kDesignedColumnWidths[0], Qt::AlignLeft},
        {"フォルダ名", kDesignedColumnWidths[1], Qt::AlignLeft},
        {"サイズ", kDesignedColumnWidths[2], Qt::AlignRight},
        {"更新日時", kDesignedColumnWidths[3], Qt::AlignLeft},
        {"No", kDesignedColumnWidths[4], Qt::AlignRight},
    }};
    return columns;
}

// Rows dragged out of the list are the URLs of their files, for a file manager to copy or another
// program to open; rows whose file is not there are left out.
class FileRowsModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;

    QStringList mimeTypes() const override { return {QStringLiteral("text/uri-list")}; }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

    QMimeData* mimeData(const QModelIndexList& indexes) const override {
        std::set<int> rows;
        for (const QModelIndex& index : indexes) {
            rows.insert(index.row());
        }
        QList<QUrl> urls;
        for (const int row : rows) {
            // As last looked at: the list never waits on a file while a drag begins.
            if (index(row, 0).data(kIsFileRole).toBool()) {
                urls << QUrl::fromLocalFile(index(row, 0).data(kLocalPathRole).toString());
            }
        }
        if (urls.isEmpty()) {
            return nullptr;
        }
        auto* data = new QMimeData;
        data->setUrls(urls);
        return data;
    }
};

}  // namespace

FileListView::FileListView(QWidget* parent, Thumbnails& thumbnails)
    : QWidget(parent),
      model_(new FileRowsModel(0, kColumnCount, this)),
      listView_(new QListView),
      detailsView_(new QTreeView),
      stack_(new QStackedLayout(this)),
      thumbnails_(thumbnails),
      thumbnailDelegate_(new ThumbnailDelegate(thumbnails, kPicturePathRole, kMissingIconRole, this)) {
    detailsView_->setModel(model_);
    SetUpColumns();
    listView_->setModel(model_);
    plainDelegate_ = listView_->itemDelegate();
    listView_->setSelectionModel(detailsView_->selectionModel());
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(listView_), static_cast<QAbstractItemView*>(detailsView_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setIconSize(QSize(16, 16));
        view->setDragDropMode(QAbstractItemView::DragOnly);
        view->setDefaultDropAction(Qt::CopyAction);
        connect(view, &QAbstractItemView::doubleClicked, this, &FileListView::DoubleClicked);
        for (QScrollBar* bar : {view->verticalScrollBar(), view->horizontalScrollBar()}) {
            connect(bar, &QScrollBar::valueChanged, this, &FileListView::ViewMoved);
        }
        stack_->addWidget(view);
    }
    QPixmap empty(listView_->iconSize());
    empty.fill(Qt::transparent);
    noImage_ = QIcon(empty);
    detailsView_->setRootIsDecorated(false);
    detailsView_->setItemsExpandable(false);
    detailsView_->setUniformRowHeights(true);
    detailsView_->setAllColumnsShowFocus(true);
    detailsView_->setSortingEnabled(false);
    QHeaderView* header = detailsView_->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &FileListView::ColumnClicked);
    connect(&thumbnails_, &Thumbnails::Arrived, this, [this](const QString& path, int side) {
        if (style_ != Style::LargeIcons || side != thumbnailDelegate_->Side()) {
            return;
        }
        QWidget* viewport = listView_->viewport();
        for (const QPersistentModelIndex& row : rowsOfPath_.values(path)) {
            const QRect cell = listView_->visualRect(row);
            if (row.isValid() && cell.intersects(viewport->rect())) {
                viewport->update(cell);
            }
        }
    });
    listView_->viewport()->installEventFilter(this);
    detailsView_->viewport()->installEventFilter(this);
    SetStyle(Style::LargeIcons);
}

bool FileListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        emit ViewMoved();
    }
    if (event->type() == QEvent::Wheel && style_ == Style::LargeIcons) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int turned = wheel->angleDelta().y();
        if (wheel->modifiers() == Qt::ControlModifier && turned != 0) {
            emit ThumbnailStepAsked(turned > 0 ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FileListView::SetThumbnailSide(int side) {
    thumbnailDelegate_->SetSide(side);
    if (style_ == Style::LargeIcons) {
        ApplyIconSide();
    }
}

int FileListView::ThumbnailSide() const {
    return thumbnailDelegate_->Side();
}

// The icon view at the thumbnail side; the list view keeps its 16-pixel icons.
void FileListView::ApplyIconSide() {
    const int side = thumbnailDelegate_->Side();
    listView_->setIconSize(QSize(side, side));
    listView_->setGridSize(IconGridSize(side));
    listView_->setUniformItemSizes(true);
    listView_->setItemDelegate(thumbnailDelegate_);
}

void FileListView::AskForAllThumbnails() {
    const int side = thumbnailDelegate_->Side();
    if (style_ != Style::LargeIcons || side <= kPlainIconSide) {
        return;
    }
    QStringList paths;
    for (int row = 0; row < RowCount(); ++row) {
        const QString path = PicturePath(row);
        if (!path.isEmpty()) {
            paths << path;
        }
    }
    thumbnails_.AskForAll(paths, side);
}

int FileListView::CurrentRow() const {
    return detailsView_->selectionModel()->currentIndex().row();
}

void FileListView::SetCurrentRow(int row) {
    detailsView_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
}

void FileListView::SelectOnly(int row) {
    QAbstractItemView* view = style_ == Style::Details ? static_cast<QAbstractItemView*>(detailsView_)
                                                       : static_cast<QAbstractItemView*>(listView_);
    const QModelIndex index = model_->index(row, 0);
    view->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
}

void FileListView::SetUpColumns() {
    for (int column = 0; column < kColumnCount; ++column) {
        const ColumnDesign& design = Columns()[column];
        model_->setHeaderData(column, Qt::Horizontal, QString::fromUtf8(design.caption));
        model_->setHeaderData(column, Qt::Horizontal,
                              QVariant::fromValue(design.alignment | Qt::AlignVCenter),
                              Qt::TextAlignmentRole);
        detailsView_->header()->resizeSection(column, design.width);
    }
}

void FileListView::SetStyle(Style style) {
    style_ = style;
    if (style == Style::Details) {
        stack_->setCurrentWidget(detailsView_);
    } else if (style == Style::List) {
        listView_->setViewMode(QListView::ListMode);
        listView_->setFlow(QListView::TopToBottom);
        listView_->setWrapping(true);
        listView_->setResizeMode(QListView::Adjust);
        listView_->setGridSize(QSize());
        listView_->setIconSize(QSize(16, 16));
        listView_->setUniformItemSizes(false);
        listView_->setItemDelegate(plainDelegate_);
        listView_->setWordWrap(false);
        stack_->setCurrentWidget(listView_);
    } else {
        // Icons are arranged automatically and cannot be dragged around.
        listView_->setViewMode(QListView::IconMode);
        // The list style's flow was set explicitly, so the mode no longer brings its own back.
        listView_->setFlow(QListView::LeftToRight);
        listView_->setWrapping(true);
        listView_->setMovement(QListView::Static);
        listView_->setResizeMode(QListView::Adjust);
        listView_->setWordWrap(true);
        ApplyIconSide();
        stack_->setCurrentWidget(listView_);
    }
    // The icon view's static arrangement turns dragging off; rows are still dragged out as files.
    listView_->setDragEnabled(true);
    setFocusProxy(stack_->currentWidget());
    emit ViewMoved();
}

int FileListView::ColumnWidth(int column) const {
    return detailsView_->header()->sectionSize(column);
}

void FileListView::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < kColumnCount) {
        detailsView_->header()->resizeSection(column, std::max(width, 0));
    }
}

int FileListView::RowCount() const {
    return model_->rowCount();
}

FileRowTexts FileListView::Row(int row) const {
    return model_->index(row, 0).data(kTextsRole).value<FileRowTexts>();
}

int FileListView::ImageIndex(int row) const {
    return model_->index(row, 0).data(kImageIndexRole).toInt();
}

bool FileListView::IsSelected(int row) const {
    return detailsView_->selectionModel()->isSelected(model_->index(row, 0));
}

std::string FileListView::LookPath(int row) const {
    return model_->index(row, 0).data(kLookPathRole).toByteArray().toStdString();
}

QString FileListView::LocalPath(int row) const {
    return model_->index(row, 0).data(kLocalPathRole).toString();
}

QString FileListView::PicturePath(int row) const {
    return model_->index(row, 0).data(kPicturePathRole).toString();
}

FileListView::Facts FileListView::FactsOf(int row) const {
    return static_cast<Facts>(model_->index(row, 0).data(kFactsRole).toInt());
}

bool FileListView::IsFile(int row) const {
    return model_->index(row, 0).data(kIsFileRole).toBool();
}

QIcon FileListView::Icon(int row) const {
    return model_->index(row, 0).data(kImageIndexRole).toInt() < 0
               ? QIcon()
               : model_->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
}

void FileListView::AppendRow(const FileRowTexts& texts, const std::string& lookPath, quint64 lookId,
                             const QIcon& typeIcon) {
    QList<QStandardItem*> items;
    const auto cells = ColumnTexts(texts);
    for (int column = 0; column < kColumnCount; ++column) {
        auto* item = new QStandardItem(FromCp932(*cells[column]));
        item->setTextAlignment(Columns()[column].alignment | Qt::AlignVCenter);
        items << item;
    }
    QStandardItem* first = items[0];
    first->setData(QVariant::fromValue(texts), kTextsRole);
    first->setData(-1, kImageIndexRole);
    first->setData(FromCp932(lookPath), kLocalPathRole);
    first->setData(QByteArray::fromStdString(lookPath), kLookPathRole);
    first->setData(lookId, kLookIdRole);
    first->setData(static_cast<int>(Facts::Looking), kFactsRole);
    first->setData(QVariant::fromValue(typeIcon), kTypeIconRole);
    first->setToolTip(FromCp932(texts.time));  // what is known of the file, for the icon view
    // A row without image keeps the image's place empty, so that every caption lines up.
    first->setIcon(noImage_);
    model_->appendRow(items);
    rowOfLook_.insert(lookId, first);
}

int FileListView::RowOfLook(quint64 lookId) const {
    const QStandardItem* item = rowOfLook_.value(lookId);
    return item != nullptr ? item->row() : -1;
}

quint64 FileListView::LookOf(int row) const {
    return model_->index(row, 0).data(kLookIdRole).toULongLong();
}

void FileListView::ShowFacts(int row, const FileRowTexts& texts, Facts facts, const QString& onDisk,
                             int imageIndex, const QIcon& icon) {
    QStandardItem* first = model_->item(row, 0);
    const auto cells = ColumnTexts(texts);
    for (int column = 1; column < kColumnCount; ++column) {
        model_->item(row, column)->setText(FromCp932(*cells[column]));
    }
    first->setData(QVariant::fromValue(texts), kTextsRole);
    first->setData(static_cast<int>(facts), kFactsRole);
    first->setData(imageIndex, kImageIndexRole);
    first->setData(!icon.isNull(), kIsFileRole);
    if (facts == Facts::NoAnswer) {
        // The icon view has no time column: its tooltip says it.
        first->setToolTip(FromCp932(texts.time));
        return;  // the file may still be there: the rest stays as it was
    }
    first->setData(onDisk, kLocalPathRole);
    const QString picturePath = imageIndex < 0 ? QString() : onDisk;
    const QString before = first->data(kPicturePathRole).toString();
    if (picturePath != before) {
        rowsOfPath_.remove(before, QPersistentModelIndex(first->index()));
        if (!picturePath.isEmpty()) {
            rowsOfPath_.insert(picturePath, QPersistentModelIndex(first->index()));
        }
    }
    first->setData(picturePath, kPicturePathRole);
    first->setIcon(imageIndex < 0 ? noImage_ : icon);
    if (facts == Facts::Missing) {
        const QIcon typeIcon = first->data(kTypeIconRole).value<QIcon>();
        QIcon& marked = markedIcons_[typeIcon.cacheKey()];
        if (marked.isNull()) {
            marked = MissingFileIcon(typeIcon);
        }
        first->setData(QVariant::fromValue(marked), kMissingIconRole);
        first->setToolTip(QStringLiteral("ファイルが見つかりません: ") + QDir::toNativeSeparators(onDisk));
    } else {
        first->setData(QVariant(), kMissingIconRole);
        first->setToolTip(QString());
    }
}

std::vector<quint64> FileListView::LooksInView() const {
    const QAbstractItemView* view = style_ == Style::Details ? static_cast<QAbstractItemView*>(detailsView_)
                                                             : static_cast<QAbstractItemView*>(listView_);
    const QRect shown = view->viewport()->rect();
    // The rows in view follow one another, from the one at the top left.
    int row = view->indexAt(shown.topLeft() + QPoint(2, 2)).row();
    std::vector<quint64> looks;
    for (row = std::max(row, 0); row < RowCount(); ++row) {
        const QRect cell = view->visualRect(model_->index(row, 0));
        if (!cell.intersects(shown)) {
            if (!looks.empty()) {
                break;
            }
            continue;
        }
        looks.push_back(LookOf(row));
    }
    return looks;
}

void FileListView::RemoveRow(int row) {
    rowOfLook_.remove(LookOf(row));
    model_->removeRow(row);
}

void FileListView::Clear() {
    model_->removeRows(0, model_->rowCount());
    rowsOfPath_.clear();
    rowOfLook_.clear();
    detailsView_->header()->setSortIndicatorShown(false);
    arrowColumn_ = -1;
}

void FileListView::ShowSortArrow(int column, bool descending) {
    QHeaderView* header = detailsView_->header();
    header->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
    arrowColumn_ = column;
}

int FileListView::SortArrowColumn() const {
    // Not the header's own: a click moves that before the list is told of it.
    return arrowColumn_;
}

void FileListView::SortRows(const std::function<int(const FileRowTexts&, const FileRowTexts&)>& compare) {
    const int count = RowCount();
    std::vector<FileRowTexts> texts;
    std::vector<bool> selected;
    for (int row = 0; row < count; ++row) {
        texts.push_back(Row(row));
        selected.push_back(IsSelected(row));
    }
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(texts[a], texts[b]) < 0; });

    // Rows taken out and put back are rows anew; the persistent indexes go first, or every row taken
    // out would move all of them.
    rowsOfPath_.clear();
    std::vector<QList<QStandardItem*>> rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back(model_->takeRow(0));
    }
    QItemSelection selection;
    for (int position = 0; position < count; ++position) {
        model_->appendRow(rows[order[position]]);
        if (selected[order[position]]) {
            selection.select(model_->index(position, 0), model_->index(position, kColumnCount - 1));
        }
    }
    detailsView_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    for (int row = 0; row < count; ++row) {
        const QString path = PicturePath(row);
        if (!path.isEmpty()) {
            rowsOfPath_.insert(path, QPersistentModelIndex(model_->index(row, 0)));
        }
    }
    emit ViewMoved();
}
