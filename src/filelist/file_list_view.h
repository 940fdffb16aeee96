#pragma once

#include <QIcon>
#include <QMultiHash>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "filelist/file_row.h"

class QAbstractItemDelegate;
class QListView;
class QStackedLayout;
class QStandardItem;
class QStandardItemModel;
class QTreeView;
class ThumbnailDelegate;
class Thumbnails;

// The file list's list view: rows of a caption with an optional image and four sub-texts, shown as
// large icons, as a list, or as details with the five column headers. One model and one selection
// serve all three styles, so switching keeps the rows and what is selected. The icon view shows
// the files' thumbnails at the thumbnail side, made by `thumbnails` as the rows come into view.
class FileListView : public QWidget {
    Q_OBJECT
public:
    enum class Style { LargeIcons, List, Details };
    // What is known of a row's file: looked for, found (a file or a folder), not there, or its
    // folder root does not answer.
    enum class Facts { Looking, Found, Missing, NoAnswer };

    FileListView(QWidget* parent, Thumbnails& thumbnails);

    void SetStyle(Style style);
    Style CurrentStyle() const { return style_; }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    int RowCount() const;
    FileRowTexts Row(int row) const;
    int ImageIndex(int row) const;  // -1 for a row without image
    bool IsSelected(int row) const;
    // Where the row's file stands on this machine: as it was asked for (code-page bytes), and as it
    // was found on disk once its facts came (what opening, dragging out and its pictures use).
    std::string LookPath(int row) const;
    QString LocalPath(int row) const;
    // The local path of a file found there (empty otherwise): what its thumbnail and quick look are
    // made from.
    QString PicturePath(int row) const;
    Facts FactsOf(int row) const;
    // True for a row whose file (not a folder) was found there.
    bool IsFile(int row) const;
    // A row whose facts are looked for under `lookId`: `texts` say so, and `typeIcon` is the
    // desktop's icon for its kind of file.
    void AppendRow(const FileRowTexts& texts, const std::string& lookPath, quint64 lookId,
                   const QIcon& typeIcon);
    // The row looked for under `lookId`, -1 when there is none any more; and the other way round.
    int RowOfLook(quint64 lookId) const;
    quint64 LookOf(int row) const;
    // The row's facts came: `icon` is the file's image in the image list at `imageIndex` (-1 and
    // null for none), `onDisk` the path found; a file not there says where it was looked for.
    void ShowFacts(int row, const FileRowTexts& texts, Facts facts, const QString& onDisk, int imageIndex,
                   const QIcon& icon);
    // The looks of the rows in view, first to last.
    std::vector<quint64> LooksInView() const;
    QIcon Icon(int row) const;
    void RemoveRow(int row);
    // Rows listed anew come in number order: the header's arrow goes.
    void Clear();
    // The header's arrow on `column`, pointing as the order goes; the column it is on, -1 for none.
    void ShowSortArrow(int column, bool descending);
    int SortArrowColumn() const;
    // Puts the rows in ascending order of `compare` (negative: the first goes first); the selected
    // rows stay selected.
    void SortRows(const std::function<int(const FileRowTexts&, const FileRowTexts&)>& compare);

    // The side of the icon view's pictures; 16 shows the plain icons.
    void SetThumbnailSide(int side);
    int ThumbnailSide() const;
    // Asks for the thumbnails of every row, behind the rows in view (icon view only).
    void AskForAllThumbnails();
    // The row the keyboard is on (-1 for none); moving it there without selecting, and moving it
    // alone to another row.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    void SelectOnly(int row);

    QListView* IconsAndListView() const { return listView_; }
    QTreeView* DetailsView() const { return detailsView_; }

signals:
    // Other rows came into view (scrolled, resized, sorted, another style).
    void ViewMoved();
    void ColumnClicked(int column);
    void DoubleClicked();
    // Ctrl + wheel over the icon view: a larger (1) or smaller (-1) thumbnail side asked for.
    void ThumbnailStepAsked(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpColumns();
    void ApplyIconSide();

    QStandardItemModel* model_;
    QListView* listView_;
    int arrowColumn_ = -1;
    QTreeView* detailsView_;
    QStackedLayout* stack_;
    Style style_ = Style::LargeIcons;
    QIcon noImage_;  // shared by the rows of files that are not there
    Thumbnails& thumbnails_;
    ThumbnailDelegate* thumbnailDelegate_;
    QAbstractItemDelegate* plainDelegate_ = nullptr;  // the list style's
    // The rows of each file, so that a thumbnail that arrives repaints its rows alone, when in view.
    QMultiHash<QString, QPersistentModelIndex> rowsOfPath_;
    // The first cell of each row by the look of its facts; cells outlive sorting.
    QHash<quint64, QStandardItem*> rowOfLook_;
    QHash<qint64, QIcon> markedIcons_;  // by the type icon's cache key
};
