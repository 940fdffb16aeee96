#pragma once

#include <QString>

class QAbstractItemView;

// Asks `view` for its context menu at `row` and chooses the action named `action` in it.
void ChooseFromContextMenu(QAbstractItemView& view, int row, const QString& action);
