#pragma once

#include <QDialog>

#include "common/folder_mapping.h"

struct AppContext;
class FileLookQueue;
class QLineEdit;

// One folder mapping typed or chosen: the folder as the database stores it and the folder on this
// machine. Accepted only with both folders, in characters the code page holds, for a stored folder
// no other mapping has, and, when the local folder does not exist, once the user says to keep it.
class FolderMappingEditor : public QDialog {
    Q_OBJECT
public:
    FolderMappingEditor(AppContext& context, QWidget* parent);

    // Shows the dialog, titled `title`, for `mapping` (empty for a new one) beside `others`.
    void Begin(const QString& title, const FolderMapping& mapping, FolderMappings others);
    // The mapping accepted, each folder ending in its separator.
    const FolderMapping& Mapping() const { return mapping_; }

private:
    void Browse();
    void Check();
    // Accepts the mapping checked when its local folder is `there`, else once the user answers yes
    // to `question` (whose %1 is the folder).
    void KeepIf(bool there, const QString& question);

    AppContext& context_;
    FolderMappings others_;
    FolderMapping mapping_;
    FolderMapping checked_;  // waiting for the look at its local folder
    FileLookQueue* look_;
    QLineEdit* Edit1;  // the stored folder
    QLineEdit* Edit2;  // the folder on this machine
};
