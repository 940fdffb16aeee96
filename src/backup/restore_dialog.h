#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "backup/backup_catalog.h"

class QPushButton;
class QTreeWidget;

// "バックアップから復元": the proven backups of the database, newest first, with their time and what
// they hold; the user picks one.
class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    RestoreDialog(const std::vector<BackupEntry>& backups, QWidget* parent);

    // The backup picked, once the dialog was accepted.
    std::optional<BackupEntry> Chosen() const;

    QTreeWidget* ListView1;
    QPushButton* Button1;  // 復元
    QPushButton* Button2;  // キャンセル

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<BackupEntry> backups_;
};

// The backup's time as the user reads it: local time, to the second.
QString BackupTimeText(const BackupEntry& entry);
