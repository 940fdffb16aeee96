#pragma once

#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <functional>

#include "filelist/file_row.h"

class QListView;
class QStackedLayout;
class QStandardItemModel;
class QTreeView;

// The file list's list view: rows of a caption with an optional image and four sub-texts, shown as
// large icons, as a list, or as details with the five column headers. One model and one selection
// serve all three styles, so switching keeps the rows and what is selected.
class FileListView : public QWidget {
    Q_OBJECT
public:
    enum class Style { LargeIcons, List, Details };

    explicit FileListView(QWidget* parent);

    void SetStyle(Style style);
    Style CurrentStyle() const { return style_; }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    int RowCount() const;
    FileRowTexts Row(int row) const;
    int ImageIndex(int row) const;  // -1 for a row without image
    bool IsSelected(int row) const;
    // Where the row's file stands on this machine, as the row was made with: what opening, dragging
    // out and pictures of the file look at.
    QString LocalPath(int row) const;
    void AppendRow(const FileRowTexts& texts, const QString& localPath, int imageIndex, const QPixmap& image);
    void RemoveRow(int row);
    void Clear();
    // Puts the rows in ascending order of `compare` (negative: the first goes first); the selected
    // rows stay selected.
    void SortRows(const std::function<int(const FileRowTexts&, const FileRowTexts&)>& compare);

    QListView* IconsAndListView() const { return listView_; }
    QTreeView* DetailsView() const { return detailsView_; }

signals:
    void ColumnClicked(int column);
    void DoubleClicked();

private:
    void SetUpColumns();

    QStandardItemModel* model_;
    QListView* listView_;
    QTreeView* detailsView_;
    QStackedLayout* stack_;
    Style style_ = Style::LargeIcons;
    QIcon noImage_;  // shared by the rows of files that are not there
};
