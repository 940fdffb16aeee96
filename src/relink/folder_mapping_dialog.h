#pragma once

#include <QDialog>

#include "common/folder_mapping.h"

struct AppContext;
class FileLookQueue;
class FolderMappingEditor;
class QPushButton;
class QTreeWidget;

// "フォルダの対応": this desktop's folder mappings, each a folder as the database stores it and where
// it stands on this machine, with a note where that folder does not exist. They are added, edited and
// removed here and kept when the user confirms.
class FolderMappingDialog : public QDialog {
    Q_OBJECT
public:
    FolderMappingDialog(AppContext& context, QWidget* parent);

    // Lists this desktop's mappings afresh and shows the dialog.
    void Open();

signals:
    // The mappings changed: files are found elsewhere now.
    void MappingsChanged();

private:
    void ShowList(int current);
    // The third column of a row: where its local folder stands.
    void ShowState(int row, const QString& state);
    void Add();
    void Edit();
    void Remove();
    void EditorDone();
    void Save();

    AppContext& context_;
    FolderMappings mappings_;  // as edited
    int editing_ = -1;         // the mapping the editor shows; -1 for a new one
    QTreeWidget* list_;
    QPushButton* editButton_;
    QPushButton* removeButton_;
    FolderMappingEditor* editor_;
    FileLookQueue* looks_;  // the local folders' states, by row
};
