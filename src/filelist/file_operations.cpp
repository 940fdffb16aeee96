#include <QDir>
#include <QStringList>
#include <array>
#include <tuple>
#include <vector>

#include "common/number.h"
#include "common/sql_literal.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "platform/app_context.h"
#include "platform/codec.h"
#include "platform/prompts.h"
#include "storage/database.h"
#include "storage/group_presence.h"
#include "storage/registration.h"
#include "storage/schema.h"

void TForm3::Button1Click() {
    RegisterFiles(GroupNo, context_.prompts->OpenFiles(this), this);
}

void TForm3::RegisterFiles(int groupNo, const QStringList& localPaths, QWidget* messageParent) {
    std::vector<std::string> paths;
    QStringList unrepresentable;
    for (const QString& file : localPaths) {
        const QString path = QDir::toNativeSeparators(file);
        if (std::optional<std::string> bytes = ToCp932(path)) {
            paths.push_back(std::move(*bytes));
        } else {
            unrepresentable << path;
        }
    }
    RegisterPaths(groupNo, paths, messageParent);
    // Such a name would be stored mangled and never found again; the others are registered.
    if (!unrepresentable.isEmpty()) {
        context_.prompts->Message(
            messageParent,
            QStringLiteral("ファイル名に使用できない文字が含まれているため登録できません。\n") +
                unrepresentable.join(QLatin1Char('\n')));
    }
}

void TForm3::Button3Click() {
    context_.fileCopyBuffer.clear();
    for (int row = 0; row < ListView1->RowCount(); ++row) {
        if (ListView1->IsSelected(row)) {
            const FileRowTexts texts = ListView1->Row(row);
            context_.fileCopyBuffer.push_back(texts.folder + texts.fileName);
        }
    }
}

void TForm3::Button4Click() {
    if (!context_.fileCopyBuffer.empty()) {
        // A copy, so that the buffer stays as it was whatever happens while registering.
        RegisterPaths(GroupNo, std::vector<std::string>(context_.fileCopyBuffer), this);
    }
}

void TForm3::Button5Click() {
    if (!context_.prompts->Question(this, QStringLiteral("選択したファイルを除去します。よろしいですか？"))) {
        return;
    }
    // Each selected row names its whole registration, so that a number another desktop has given to
    // another file meanwhile is never the one removed; all of them go, or none.
    std::vector<int> rows;
    std::vector<std::string> registrations;
    for (int row = ListView1->RowCount() - 1; row >= 0; --row) {
        if (ListView1->IsSelected(row)) {
            const FileRowTexts texts = ListView1->Row(row);
            rows.push_back(row);
            registrations.push_back(
                SameRegistration(ParseIntOrZero(texts.number), texts.storedFileName, texts.storedFolder));
        }
    }
    if (registrations.empty()) {
        return;
    }
    const std::string table = TableName();
    long long removed = 1;
    const bool committed = database_.WriteTogether([&] {
        for (const std::string& registration : registrations) {
            removed = database_.DeleteRowsChanged(table, registration);
            if (removed != 1) {
                return false;
            }
        }
        return true;
    });
    if (committed) {
        for (const int row : rows) {
            ListView1->RemoveRow(row);
        }
    } else if (removed == 0) {
        Reload();
        context_.prompts->Message(
            this,
            QStringLiteral("他のコンピューターで変更されたため、削除しませんでした。一覧を更新しました。"));
    } else {
        // A row whose registration is still stored stays, so the list never hides a stored file.
        context_.prompts->Message(this, QStringLiteral("削除失敗"));
    }
}

void TForm3::RegisterPaths(int groupNo, const std::vector<std::string>& paths, QWidget* messageParent) {
    // Another desktop may have deleted the group; its file table may even still stand.
    if (!paths.empty() && GroupDeleted(database_, groupNo)) {
        context_.prompts->Message(messageParent,
                                  QStringLiteral("グループが見つからないため登録できません。"));
        return;
    }
    const std::vector<std::string> registering = AskAboutHeldFiles(groupNo, paths, messageParent);
    bool refused = false;
    QStringList unopenable;
    for (const std::string& path : registering) {
        // Stored in a Windows form, such a name would name another file there, or none.
        if (!WindowsCanHold(context_.folderMappings, path)) {
            unopenable << FromCp932(path);
            continue;
        }
        refused = !RegisterPath(groupNo, path) || refused;
    }
    if (refused) {
        context_.prompts->Message(messageParent, QStringLiteral("登録失敗"));
    }
    if (!unopenable.isEmpty()) {
        context_.prompts->Message(
            messageParent,
            QStringLiteral("ファイル名またはフォルダ名にWindowsで使用できない文字（\\ : * ? \" "
                           "< > |、末尾のピリオドや空白）が含まれているため登録できません。\n") +
                unopenable.join(QLatin1Char('\n')));
    }
}

std::vector<std::string> TForm3::AskAboutHeldFiles(int groupNo, const std::vector<std::string>& paths,
                                                   QWidget* messageParent) {
    constexpr int kNamesShown = 10;
    const std::string table = FileTableName(groupNo);
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& path : paths) {
        const StoredPath stored = StoredNames(path);
        files.emplace_back(stored.fileName, stored.folder);
    }
    const std::vector<bool> held = HeldFiles(database_, table, files);
    QStringList names;
    for (std::size_t i = 0; i < files.size() && names.size() <= kNamesShown; ++i) {
        if (held[i]) {
            names << (names.size() < kNamesShown ? FromCp932(files[i].second + files[i].first)
                                                 : QStringLiteral("..."));
        }
    }
    if (names.isEmpty() ||
        context_.prompts->Question(messageParent,
                                   QStringLiteral("次のファイルは既にこのグループに登録されています。"
                                                  "もう一度登録しますか？\n") +
                                       names.join(QLatin1Char('\n')))) {
        return paths;
    }
    std::vector<std::string> fresh;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (!held[i]) {
            fresh.push_back(paths[i]);
        }
    }
    return fresh;
}

bool TForm3::RegisterPath(int groupNo, const std::string& path) {
    // A group registered into from the board while this window shows another is not listed here.
    const bool listed = isVisible() && groupNo == GroupNo;
    const std::string table = FileTableName(groupNo);
    const std::int64_t number = std::int64_t{ParseIntOrZero(database_.SelectMax(table, "N", ""))} + 1;
    StoredPath stored;
    if (listed) {
        std::tie(stored.fileName, stored.folder) = AddFileItem(number, path);
    } else {
        stored = StoredNames(path);
    }
    const std::array<std::string, 3> values{SqlNumber(number), SqlText(stored.fileName),
                                            SqlText(stored.folder)};
    if (database_.InsertRow(table, FileColumnNames(), values)) {
        return true;
    }
    // Refused: the row must not stand in the list as if it were registered.
    if (listed) {
        ListView1->RemoveRow(ListView1->RowCount() - 1);
    }
    return false;
}
