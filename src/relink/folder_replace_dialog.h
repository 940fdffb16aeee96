#pragma once

#include <QDialog>
#include <optional>
#include <string>

struct AppContext;
class Database;
class QLineEdit;

// "フォルダの置換": replaces the leading old folder of every registration's folder by a new one, in
// every group, after saying how many registrations in how many groups it will change. A folder typed
// as it stands on this machine under a folder mapping stands for its stored form.
class FolderReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FolderReplaceDialog(AppContext& context, Database& database, QWidget* parent);

    // Shows the dialog with the focus in the old folder.
    void Open();

signals:
    // Registrations were given new folders.
    void FoldersChanged();

private:
    void Replace();
    // The folder typed in `edit`, ending in the separator of its kind; the separator is added to the
    // edit too.
    QString TypedFolder(QLineEdit* edit);
    // The folder as registrations store it under this desktop's folder mappings; nothing when the
    // code page cannot hold it.
    std::optional<std::string> StoredFolder(const QString& folder) const;

    AppContext& context_;
    Database& database_;
    QLineEdit* Edit1;  // the old folder
    QLineEdit* Edit2;  // the new folder
};
