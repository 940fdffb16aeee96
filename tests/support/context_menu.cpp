#include "support/context_menu.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

void ChooseFromContextMenu(QAbstractItemView& view, int row, const QString& action) {
    QTimer::singleShot(0, [action] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menu->findChild<QAction*>(action)->trigger();
        menu->close();
    });
    emit view.customContextMenuRequested(view.visualRect(view.model()->index(row, 0)).center());
}
