#include "board/board_window.h"
#include "platform/app_context.h"
#include "platform/firebird_reason.h"
#include "platform/prompts.h"

void TForm1::SwitchDatabase(const ConnectionSettings& settings) {
    // Leaving the database closes the file list, which shows a group of it.
    database_.DisconnectDatabase();
    // A command still waiting for the server keeps the old database attached: the settings go on
    // naming the database the program writes to.
    if (database_.Attached()) {
        context_.prompts->Message(
            this, QStringLiteral("使用中のデータベースから切断できないため、データベースを切り替え"
                                 "られませんでした。"));
        return;
    }
    context_.settings.serverPrefix = settings.serverPrefix;
    context_.settings.dataFolder = settings.dataFolder;
    context_.settings.databaseName = settings.databaseName;
    database_.ConnectDatabase();
    if (!database_.Attached()) {
        const std::string reason = database_.LastError();
        database_.DisconnectDatabase();
        context_.prompts->Message(
            this, WithFirebirdReason(QStringLiteral("データベース接続が出来ません。設定を確認して下さい。"),
                                     reason));
    }
    RebuildBoard();
    ClearSelection();
}
