#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QListView>
#include <QTreeView>
#include <set>

#include "common/number.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"

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
    std::set<std::string> selected;
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            selected.insert(ListView1->Row(row).number);
        }
    }
    FormShow();
    QItemSelectionModel* selection = ListView1->DetailsView()->selectionModel();
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (selected.count(ListView1->Row(row).number) != 0) {
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
