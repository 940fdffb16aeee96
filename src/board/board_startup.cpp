#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <chrono>

#include "board/board_window.h"
#include "board/startup_paths.h"
#include "common/settings_file.h"
#include "common/startup_steps.h"
#include "platform/app_context.h"
#include "platform/firebird_reason.h"
#include "platform/folder_mapping_preferences.h"
#include "platform/prompts.h"

namespace {

constexpr std::chrono::milliseconds kClosingDeadline{500};

std::string FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

void TForm1::FormShow() {
    context_.fileCopyBuffer.clear();
    context_.appDir = AppDirOf(context_.executablePath);
    context_.settingsFileName = SettingsFileFor(context_.executablePath);
    context_.folderMappings = ReadFolderMappings(context_);
    // What the file does not say keeps the windows' current geometry.
    SavedSettings saved = CurrentSettings();
    const bool found = LoadSettings(FileSystemPath(context_.settingsFileName), saved);
    context_.settings = saved.connection;
    if (found) {
        ApplySettings(saved);
    }
    NoteStartupStep("settings");
    if (context_.settings.dataFolder.empty()) {
        StatusBar1->showMessage(NoDatabaseHint());
    } else {
        database_.ConnectDatabase();
        if (!database_.Attached()) {
            const std::string reason = database_.LastError();
            database_.DisconnectDatabase();
            context_.prompts->Message(
                this, WithFirebirdReason(
                          QStringLiteral("データベース接続が出来ません。設定を確認して下さい。"), reason));
        }
    }
    NoteStartupStep("attached");
    ClearSelection();
    RebuildBoard();
    NoteStartupStep("board");
}

QString TForm1::NoDatabaseHint() {
    return QStringLiteral(
        "データベースがありません。「ファイル」メニューの「データベース設定」で作成して下さい。");
}

void TForm1::FormClose() {
    context_.fileCopyBuffer.clear();
    FreeBoard();
    // Whoever closes wants out: a server that does not answer at once is not waited for.
    database_.SetStatementDeadline(kClosingDeadline);
    database_.DisconnectDatabase();
    SavedSettings saved = CurrentSettings();
    saved.connection = context_.settings;
    SaveSettings(FileSystemPath(context_.settingsFileName), saved);
}

void TForm1::ClearSelection() {
    GrabX = 0;
    GrabY = 0;
    DragGroup = 0;
    SelectedGroup = 0;
    IconPressed = false;
    ClearDetails();
}

void TForm1::ClearDetails() {
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5}) {
        edit->clear();
    }
    shownGroup_ = GroupRecord();
    MarkSelected(0);
}
