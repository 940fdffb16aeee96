#include "dialogs/dialog_window.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/designed_font.h"

void SetUpDialogWindow(QDialog& dialog, const QString& caption, QSize clientSize) {
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFixedSize(clientSize);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, Qt::white);
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
    dialog.setFont(DesignedFont(12));
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, QPoint topLeft) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(topLeft);
    label->adjustSize();
    return label;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, QRect geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    return edit;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}
