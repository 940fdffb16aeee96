#include "relink/relink_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/codec.h"
#include "platform/designed_font.h"
#include "relink/missing_files_model.h"

RelinkDialog::RelinkDialog(QWidget* parent)
    : QDialog(parent), summary_(new QLabel(this)), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("RelinkDialog"));
    setWindowTitle(QStringLiteral("フォルダから再リンク"));
    setWindowModality(Qt::WindowModal);
    setFont(DesignedFont(13));
    resize(760, 360);
    list_->setObjectName(QStringLiteral("ProposalList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("ファイル名"), QStringLiteral("グループ"),
                            QStringLiteral("元のフォルダ"), QStringLiteral("新しいフォルダ"),
                            QStringLiteral("候補")});
    list_->header()->resizeSection(0, 140);
    list_->header()->resizeSection(2, 200);
    list_->header()->resizeSection(3, 200);

    okButton_ = new QPushButton(QStringLiteral("再リンク(&O)"), this);
    okButton_->setObjectName(QStringLiteral("OkButton"));
    okButton_->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
}

QString UnreadableNote(long long unreadableFolders) {
    if (unreadableFolders == 0) {
        return QString();
    }
    return QStringLiteral("\n読み取れなかったフォルダが%1個あります。").arg(unreadableFolders);
}

void RelinkDialog::SetProposals(std::vector<RelinkProposal> proposals, int notFound,
                                long long unreadableFolders) {
    proposals_ = std::move(proposals);
    QString summary = QStringLiteral("%1件が見つかりました（見つからなかったファイル: %2件）。")
                          .arg(proposals_.size())
                          .arg(notFound);
    if (unreadableFolders > 0) {
        summary += UnreadableNote(unreadableFolders) +
                   QStringLiteral("そこに別のファイルがあるかもしれないため、すべて推測です。");
    }
    summary_->setText(summary + QStringLiteral("\nチェックしたファイルのフォルダを変更します。"));
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const RelinkProposal& proposal : proposals_) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, FromCp932(proposal.file.fileName));
        item->setText(1, GroupLabel(proposal.file));
        item->setText(2, FromCp932(proposal.file.folder));
        item->setText(3, FromCp932(proposal.newFolder));
        item->setText(4, proposal.Guess() ? QStringLiteral("推測（%1か所）").arg(proposal.candidates)
                                          : QStringLiteral("1か所"));
        item->setCheckState(0, Qt::Checked);
        items << item;
    }
    list_->addTopLevelItems(items);
}

std::vector<RelinkProposal> RelinkDialog::CheckedProposals() const {
    std::vector<RelinkProposal> checked;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->checkState(0) == Qt::Checked) {
            checked.push_back(proposals_[i]);
        }
    }
    return checked;
}
