#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QListView>
#include <QTreeView>
#include <set>
#include <tuple>

#include "common/number.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "preview/thumbnails.h"

namespace {

// Both styles of the list share one model and one selection.
QAbstractItemView* ShownView(FileListView& list) {
    if (list.CurrentStyle() == FileListView::Style::Details) {
        return list.DetailsView();
    }
    return list.IconsAndListView();
}

}  // namespace

void TForm3::Reload() {
    // A row is found again by its whole registration: another desktop may have given its number to
    // another file meanwhile, which a removal must never hit.
    using Registration = std::tuple<std::string, std::string, std::string>;
    const auto registration = [](const FileRowTexts& row) {
        return Registration{row.number, row.fileName, row.folder};
    };
    // Files may have been saved anew meanwhile: their thumbnails are looked at again.
    thumbnails_->LookAgain();
    std::set<Registration> selected;
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            selected.insert(registration(ListView1->Row(row)));
        }
    }
    FormShow();
    QItemSelectionModel* selection = ListView1->DetailsView()->selectionModel();
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (selected.count(registration(ListView1->Row(row))) != 0) {
            selection->select(ListView1->DetailsView()->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
}

bool TForm3::SelectFileNumber(int number) {
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ParseIntOrZero(ListView1->Row(row).number) == number) {
            QAbstractItemView* view = ShownView(*ListView1);
            const QModelIndex index = view->model()->index(row, 0);
            view->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view->scrollTo(index);
            return true;
        }
    }
    return false;
}
