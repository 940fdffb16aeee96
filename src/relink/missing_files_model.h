#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "relink/missing_scan.h"

// The missing-files window's rows: "グループ", "No", "ファイル名", "フォルダ". Texts are converted
// only when a row is shown, so a long list is listed at once.
class MissingFilesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MissingFilesModel(QObject* parent);

    const std::vector<MissingFile>& Files() const { return files_; }
    void Clear();
    void Append(std::vector<MissingFile> files);
    // Removes the rows of the registrations `keep` answers false for.
    template <typename Keep>
    void KeepOnly(Keep keep) {
        beginResetModel();
        std::erase_if(files_, [&keep](const MissingFile& file) { return !keep(file); });
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<MissingFile> files_;
};

// How the relinking tools name a group: its name and number.
QString GroupLabel(const MissingFile& file);
