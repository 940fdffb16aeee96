#include "platform/firebird_reason.h"

#include <string_view>

namespace {

bool Says(const std::string& reason, std::string_view words) {
    return reason.find(words) != std::string::npos;
}

// What Firebird's English words mean for the user, in a sentence of the program's own; empty when
// they are none of those a desktop meets.
QString MeaningOf(const std::string& reason) {
    if (Says(reason, "No such file or directory")) {
        return Says(reason, "O_CREAT") ? QStringLiteral("データベースを作成するフォルダがありません。")
                                       : QStringLiteral("データベースファイルまたはフォルダがありません。");
    }
    if (Says(reason, "Permission denied")) {
        return QStringLiteral("データベースファイルまたはフォルダにアクセスする権限がありません。");
    }
    if (Says(reason, "\"lock\" operation") || Says(reason, "already opened") ||
        Says(reason, "Resource temporarily unavailable")) {
        return QStringLiteral("データベースファイルは他のプログラムが使用中です。");
    }
    if (Says(reason, "not a valid database") || Says(reason, "File size is less than expected")) {
        return QStringLiteral("指定したファイルはデータベースではありません。");
    }
    if (Says(reason, "user name and password are not defined")) {
        return QStringLiteral("サーバーがユーザー名またはパスワードを受け付けません。");
    }
    if (Says(reason, "Unable to complete network request") || Says(reason, "Connection refused")) {
        return QStringLiteral("サーバーに接続できません。");
    }
    return {};
}

}  // namespace

QString WithFirebirdReason(const QString& message, const std::string& reason) {
    const QString words = QString::fromUtf8(reason).trimmed();
    if (words.isEmpty()) {
        return message;
    }
    const QString meaning = MeaningOf(reason);
    return message + QLatin1Char('\n') + (meaning.isEmpty() ? QString() : meaning + QLatin1Char('\n')) +
           words;
}
