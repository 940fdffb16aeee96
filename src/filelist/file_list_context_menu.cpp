#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "platform/app_context.h"
#include "platform/prompts.h"
#include "platform/shell.h"

void TForm3::AddFileCommands(QMenu& menu, int row) {
    const QString path = ListView1->LocalPath(row);
    QAction* open = menu.addAction(QStringLiteral("開く(&O)"));
    open->setObjectName(QStringLiteral("mnuOpen"));
    connect(open, &QAction::triggered, this,
            [this, path, lookPath = ListView1->LookPath(row)] { OpenFile(lookPath, path); });
    QAction* folder = menu.addAction(QStringLiteral("フォルダを開く(&F)"));
    folder->setObjectName(QStringLiteral("mnuOpenFolder"));
    connect(folder, &QAction::triggered, this, [this, path] {
        context_.shell->ShowInFolder(
            this, path, [this](const QString& reason) { context_.prompts->Message(this, reason); });
    });
    QAction* copyPath = menu.addAction(QStringLiteral("パスをコピー(&C)"));
    copyPath->setObjectName(QStringLiteral("mnuCopyPath"));
    connect(copyPath, &QAction::triggered, this, [this, row] {
        // Every selected row's path, as it stands on this desktop, one to a line.
        QStringList paths;
        for (int selected = 0; selected < ListView1->RowCount(); ++selected) {
            if (ListView1->IsSelected(selected) || selected == row) {
                paths << QDir::toNativeSeparators(ListView1->LocalPath(selected));
            }
        }
        QGuiApplication::clipboard()->setText(paths.join(QLatin1Char('\n')));
    });
    menu.addSeparator();
}

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
            AddFileCommands(menu, row);
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
            if (onSendFiles) {
                QAction* send = menu.addAction(QStringLiteral("図面の送付(&T)..."));
                send->setObjectName(QStringLiteral("mnuSendFiles"));
                connect(send, &QAction::triggered, this, [this] { onSendFiles(SelectedRows()); });
            }
            menu.exec(view->viewport()->mapToGlobal(at));
        });
    }
}

std::vector<FileRecord> TForm3::SelectedRows() const {
    std::vector<FileRecord> rows;
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            const FileRowTexts texts = ListView1->Row(row);
            rows.push_back({texts.number, texts.fileName, texts.folder});
        }
    }
    return rows;
}
