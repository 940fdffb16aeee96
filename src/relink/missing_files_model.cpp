#include "relink/missing_files_model.h"

#include "platform/codec.h"

MissingFilesModel::MissingFilesModel(QObject* parent) : QAbstractTableModel(parent) {}

void MissingFilesModel::Clear() {
    beginResetModel();
    files_.clear();
    endResetModel();
}

void MissingFilesModel::Append(std::vector<MissingFile> files) {
    if (files.empty()) {
        return;
    }
    beginInsertRows(QModelIndex(), rowCount(), rowCount() + static_cast<int>(files.size()) - 1);
    files_.insert(files_.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
    endInsertRows();
}

int MissingFilesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(files_.size());
}

int MissingFilesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant MissingFilesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const MissingFile& file = files_[index.row()];
    switch (index.column()) {
        case 0:
            return GroupLabel(file);
        case 1:
            return QString::number(file.number);
        case 2:
            return FromCp932(file.fileName);
        default:
            return FromCp932(file.folder);
    }
}

QVariant MissingFilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kCaptions[] = {"グループ", "No", "ファイル名", "フォルダ"};
    return section >= 0 && section < 4 ? QString::fromUtf8(kCaptions[section]) : QVariant();
}

QString GroupLabel(const MissingFile& file) {
    return FromCp932(file.groupName) + QStringLiteral(" (N:") + QString::number(file.group) +
           QLatin1Char(')');
}
