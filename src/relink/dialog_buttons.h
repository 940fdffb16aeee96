#pragma once

#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;

// A row with `okCaption` (the default button, "OkButton") and "キャンセル" ("CancelButton") at its
// right: OK calls `onOk`, which decides whether the dialog is done; Cancel rejects the dialog.
QHBoxLayout* AddOkCancel(QDialog& dialog, const QString& okCaption, std::function<void()> onOk);
