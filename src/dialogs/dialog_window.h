#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The look the program's dialogs share: fixed client size, white, a title bar with the system menu
// and the minimise button only, and the program's Japanese Gothic face.
void SetUpDialogWindow(QDialog& dialog, const QString& caption, QSize clientSize);

// Controls placed at fixed positions, as the dialogs are laid out; `name` becomes the objectName.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, QPoint topLeft);
QLineEdit* AddEdit(QWidget* parent, const char* name, QRect geometry);
QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, QRect geometry);
