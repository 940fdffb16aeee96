#include "relink/folder_mapping_saving.h"

#include "platform/app_context.h"
#include "platform/folder_mapping_preferences.h"
#include "platform/prompts.h"

void SaveFolderMappings(AppContext& context, FolderMappings mappings, QWidget* messageParent) {
    context.folderMappings = std::move(mappings);
    if (!WriteFolderMappings(context, context.folderMappings)) {
        context.prompts->Message(messageParent,
                                 QStringLiteral("フォルダの対応を保存できませんでした。\n"
                                                "この対応はプログラムを終了するまで有効です。"));
    }
}
