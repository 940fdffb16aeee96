#pragma once

#include <QFileIconProvider>
#include <QHash>
#include <QPixmap>
#include <QStandardItemModel>
#include <QWidget>
#include <optional>
#include <vector>

#include "common/folder_mapping.h"
#include "platform/file_facts.h"

class DirectDatabase;
class QListView;

// The floor of the file list: a window with one icon view of a model whose rows hold what the file
// list shows (the name with its file type's icon, folder, size, time, number), the icon looked up
// once per file type; its icons `iconSide` pixels large.
class BareFileList {
public:
    explicit BareFileList(int iconSide = 16);

    QWidget& Window() { return window_; }
    QListView& View() { return *view_; }
    // The rows the view shows now.
    QList<int> RowsInView() const;
    void SetPicture(int row, const QPixmap& picture);
    void Clear() { model_.removeRows(0, model_.rowCount()); }
    int RowCount() const { return model_.rowCount(); }
    // One row for the file at `path`, found on disk or not; with `lookedAt` false, its name, folder and
    // number alone (the icon of its type by its name), the file not looked at.
    void AppendRow(const QString& path, int number, bool lookedAt = true);
    // The row's size and time, as a look at its file found them.
    void ShowFacts(int row, const std::optional<FileFacts>& facts);

private:
    QWidget window_;
    QStandardItemModel model_;
    QListView* view_;
    QFileIconProvider iconProvider_;
    QHash<QString, QPixmap> typeIcons_;
    QPixmap noIcon_;
};

// The floor's listing of a group's file table, as the file list makes it: the table read once to
// count, then in number order, a bare row for each file at the local path `mappings` give its stored
// folder and name (looked at unless `lookedAt` is false). Answers those paths, row by row.
std::vector<QString> ListFileTable(DirectDatabase& database, int group, const FolderMappings& mappings,
                                   BareFileList& list, bool lookedAt = true);
