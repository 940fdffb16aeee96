#include "relink/folder_replace_dialog.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <set>

#include "common/folder_mapping.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/designed_font.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "relink/dialog_buttons.h"
#include "relink/folder_replace.h"
#include "relink/group_list.h"

namespace {

// Every group is read or written in one go: the user sees that the program is at work.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

}  // namespace

FolderReplaceDialog::FolderReplaceDialog(AppContext& context, Database& database, QWidget* parent)
    : QDialog(parent),
      context_(context),
      database_(database),
      Edit1(new QLineEdit(this)),
      Edit2(new QLineEdit(this)) {
    setObjectName(QStringLiteral("FolderReplace"));
    setWindowTitle(QStringLiteral("フォルダの置換"));
    setFont(DesignedFont(13));
    resize(520, 130);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2->setObjectName(QStringLiteral("Edit2"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("置換前のフォルダ(&O):"), Edit1);
    fields->addRow(QStringLiteral("置換後のフォルダ(&N):"), Edit2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(AddOkCancel(*this, QStringLiteral("OK"), [this] { Replace(); }));
    setTabOrder(Edit1, Edit2);
}

void FolderReplaceDialog::Open() {
    open();
    Edit1->setFocus();
}

QString FolderReplaceDialog::TypedFolder(QLineEdit* edit) {
    QString folder = edit->text();
    // A Windows folder typed here ends in its own separator, whatever this machine's is.
    if (const std::optional<std::string> bytes = ToCp932(folder)) {
        folder = FromCp932(WithFinalSeparator(*bytes));
    } else if (!folder.endsWith(FolderSeparator())) {
        folder += FolderSeparator();
    }
    if (folder != edit->text()) {
        edit->setText(folder);
    }
    return folder;
}

std::optional<std::string> FolderReplaceDialog::StoredFolder(const QString& folder) const {
    const std::optional<std::string> bytes = ToCp932(folder);
    if (!bytes) {
        return std::nullopt;
    }
    return StoredPathOf(context_.folderMappings, *bytes).folder;
}

void FolderReplaceDialog::Replace() {
    const QString oldFolder = TypedFolder(Edit1);
    const QString newFolder = TypedFolder(Edit2);
    if (oldFolder.isEmpty() || newFolder.isEmpty()) {
        context_.prompts->Message(this, QStringLiteral("置換前と置換後のフォルダを入力して下さい。"));
        return;
    }
    // A folder of this machine under a mapping is named by its stored form.
    const std::optional<std::string> oldStored = StoredFolder(oldFolder);
    const std::optional<std::string> newStored = StoredFolder(newFolder);
    if (oldFolder == newFolder || (oldStored && oldStored == newStored)) {
        context_.prompts->Message(this, QStringLiteral("置換前と置換後に同じフォルダが入力されています。"));
        return;
    }
    // A folder the code page cannot hold is in no registration. One that is mapped is found however
    // a desktop spelled it.
    std::vector<GroupMatch> matches;
    if (oldStored) {
        const WaitCursor waiting;
        matches = FindFolderMatches(database_, ReadGroups(database_),
                                    StoredSpellingsOf(context_.folderMappings, *oldStored));
    }
    long long rows = 0;
    std::set<int> groups;
    for (const GroupMatch& match : matches) {
        rows += match.rows;
        groups.insert(match.group);
    }
    if (rows == 0) {
        context_.prompts->Message(this,
                                  QStringLiteral("置換前のフォルダにあるファイルは登録されていません。"));
        return;
    }
    if (!context_.prompts->Question(this,
                                    QStringLiteral("%1グループの%2件のフォルダを置換します。よろしいですか？")
                                        .arg(groups.size())
                                        .arg(rows))) {
        return;
    }
    ReplaceCounts counts;
    {
        const WaitCursor waiting;
        counts = ReplaceFolder(database_, matches, newStored);
    }
    if (counts.changed > 0) {
        emit FoldersChanged();
    }
    QString text = QStringLiteral("%1件のフォルダを置換しました。").arg(counts.changed);
    if (counts.failed > 0) {
        text += QStringLiteral(
                    "\n%1件は置換できませんでした（255バイトを超えるか、使用できない文字が含まれています）。")
                    .arg(counts.failed);
    }
    context_.prompts->Message(this, text);
    accept();
}
