#include "relink/dialog_buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* AddOkCancel(QDialog& dialog, const QString& okCaption, std::function<void()> onOk) {
    auto* okButton = new QPushButton(okCaption, &dialog);
    okButton->setObjectName(QStringLiteral("OkButton"));
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("キャンセル"), &dialog);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setAutoDefault(false);
    QObject::connect(okButton, &QPushButton::clicked, &dialog, std::move(onOk));
    QObject::connect(cancelButton, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    return row;
}
