#include <QAbstractItemView>
#include <QAction>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"

void TForm3::BuildContextMenu() {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(ListView1->IconsAndListView()),
                                    static_cast<QAbstractItemView*>(ListView1->DetailsView())}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            const int row = view->indexAt(at).row();
            if (row < 0) {
                return;
            }
            QMenu menu(this);
            QAction* quickLook = menu.addAction(QStringLiteral("クイックルック(&Q)"));
            quickLook->setObjectName(QStringLiteral("mnuQuickLook"));
            connect(quickLook, &QAction::triggered, this, &TForm3::OpenQuickLook);
            if (onGroupsHoldingFile) {
                QAction* holding = menu.addAction(QStringLiteral("このファイルを含むグループ(&G)..."));
                holding->setObjectName(QStringLiteral("mnuGroupsHolding"));
                connect(holding, &QAction::triggered, this, [this, row] {
                    const FileRowTexts texts = ListView1->Row(row);
                    onGroupsHoldingFile(texts.folder, texts.fileName);
                });
            }
            menu.exec(view->viewport()->mapToGlobal(at));
        });
    }
}
