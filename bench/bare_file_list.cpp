#include "bare_file_list.h"

#include <QFileInfo>
#include <QListView>
#include <QVBoxLayout>
#include <algorithm>

#include "direct_client.h"
#include "floor.h"
#include "platform/file_facts.h"

BareFileList::BareFileList(int iconSide) : model_(0, 5), view_(new QListView(&window_)), noIcon_(16, 16) {
    window_.setFont(FloorFont());
    window_.resize(654, 317);
    auto* layout = new QVBoxLayout(&window_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setModel(&model_);
    view_->setViewMode(QListView::IconMode);
    view_->setMovement(QListView::Static);
    view_->setResizeMode(QListView::Adjust);
    view_->setGridSize(iconSide <= 16 ? QSize(80, 52) : QSize(std::max(80, iconSide + 24), iconSide + 44));
    view_->setUniformItemSizes(iconSide > 16);
    view_->setWordWrap(true);
    view_->setIconSize(QSize(iconSide, iconSide));
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    noIcon_.fill(Qt::transparent);
}

void BareFileList::AppendRow(const QString& path, int number, bool lookedAt) {
    // The least a row needs: one look at the file (the program's own, a single stat) and its type's icon.
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    QList<QStandardItem*> row{new QStandardItem(path.mid(cut)), new QStandardItem(path.left(cut)),
                              new QStandardItem, new QStandardItem,
                              new QStandardItem(QString::number(number))};
    model_.appendRow(row);
    row[0]->setIcon(noIcon_);
    if (lookedAt) {
        ShowFacts(model_.rowCount() - 1, FindFileFacts(path));
    }
}

void BareFileList::ShowFacts(int row, const std::optional<FileFacts>& facts) {
    QStandardItem* name = model_.item(row, 0);
    if (facts && facts->isFile) {
        const QFileInfo info(model_.item(row, 1)->text() + name->text());
        QPixmap& icon = typeIcons_[info.suffix()];
        if (icon.isNull()) {
            icon = iconProvider_.icon(info).pixmap(16, 16);
        }
        name->setIcon(icon);
        model_.item(row, 2)->setText(QString::number(facts->size));
        model_.item(row, 3)->setText(facts->lastWriteTime);
    } else {
        model_.item(row, 2)->setText(QStringLiteral("0"));
        model_.item(row, 3)->setText(QStringLiteral("<No File>"));
    }
}

QList<int> BareFileList::RowsInView() const {
    QList<int> rows;
    for (int row = 0; row < model_.rowCount(); ++row) {
        if (view_->visualRect(model_.index(row, 0)).intersects(view_->viewport()->rect())) {
            rows << row;
        }
    }
    return rows;
}

void BareFileList::SetPicture(int row, const QPixmap& picture) {
    model_.item(row, 0)->setIcon(picture);
}

std::vector<QString> ListFileTable(DirectDatabase& database, int group, const FolderMappings& mappings,
                                   BareFileList& list, bool lookedAt) {
    const std::string table = "GRP_" + std::to_string(group);
    database.Query("SELECT * FROM " + table);
    QStringDecoder decode = Cp932Decoder();
    std::vector<QString> paths;
    database.Query("SELECT * FROM " + table + " ORDER BY N", [&](const DirectDatabase::Row& row) {
        paths.push_back(decode(Bytes(LocalPathOf(mappings, row.Text(2), row.Text(1)))));
        list.AppendRow(paths.back(), row.Int(0), lookedAt);
    });
    return paths;
}
