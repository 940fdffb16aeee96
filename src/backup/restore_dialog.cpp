#include "backup/restore_dialog.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QString BackupTimeText(const BackupEntry& entry) {
    return QDateTime::fromSecsSinceEpoch(entry.time).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

RestoreDialog::RestoreDialog(const std::vector<BackupEntry>& backups, QWidget* parent)
    : QDialog(parent),
      ListView1(new QTreeWidget(this)),
      Button1(new QPushButton(QStringLiteral("復元(&R)"), this)),
      Button2(new QPushButton(QStringLiteral("キャンセル(&N)"), this)),
      backups_(backups) {
    setObjectName(QStringLiteral("RestoreDialog"));
    setWindowTitle(QStringLiteral("バックアップから復元"));
    ListView1->setObjectName(QStringLiteral("ListView1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels(
        {QStringLiteral("日時"), QStringLiteral("グループ"), QStringLiteral("登録ファイル")});
    for (const BackupEntry& entry : backups_) {
        auto* item = new QTreeWidgetItem(ListView1, {BackupTimeText(entry), QString::number(entry.groups),
                                                     QString::number(entry.registrations)});
        item->setTextAlignment(1, Qt::AlignRight);
        item->setTextAlignment(2, Qt::AlignRight);
    }
    ListView1->setCurrentItem(ListView1->topLevelItem(0));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListView1);
    layout->addLayout(buttons);
    resize(420, 280);
}

// The columns are sized once the dialog is shown in its final font. Qt's measure of a heading leaves
// a Japanese one a few pixels short, so the groups' column gets an em to spare; the last one fills
// the rest.
void RestoreDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QHeaderView* heading = ListView1->header();
    heading->resizeSections(QHeaderView::ResizeToContents);
    heading->resizeSection(1, heading->sectionSize(1) + heading->fontMetrics().height());
}

std::optional<BackupEntry> RestoreDialog::Chosen() const {
    const int row = ListView1->indexOfTopLevelItem(ListView1->currentItem());
    if (result() != QDialog::Accepted || row < 0 || row >= static_cast<int>(backups_.size())) {
        return std::nullopt;
    }
    return backups_[static_cast<std::size_t>(row)];
}
