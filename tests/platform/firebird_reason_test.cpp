#include <gtest/gtest.h>

#include "platform/firebird_reason.h"

TEST(FirebirdReason, aSentenceOfTheProgramsOwnSaysWhatFirebirdsWordsMean) {
    const struct {
        const char* reason;
        QString meaning;  // empty: Firebird's words follow the message alone
    } cases[] = {
        {"I/O error during \"open\" operation for file \"/srv/図面/QRTDB.FDB\"\n-Error while trying to open "
         "file\n-No such file or directory",
         QStringLiteral("データベースファイルまたはフォルダがありません。")},
        {"I/O error during \"open\" operation for file \"/srv/QRTDB.FDB\"\n-Error while trying to open file\n"
         "-Permission denied",
         QStringLiteral("データベースファイルまたはフォルダにアクセスする権限がありません。")},
        {"I/O error during \"lock\" operation for file \"/srv/QRTDB.FDB\"\n-Database already opened with "
         "engine instance, incompatible with current",
         QStringLiteral("データベースファイルは他のプログラムが使用中です。")},
        {"I/O error during \"read\" operation for file \"/srv/a.txt\"\n-File size is less than expected",
         QStringLiteral("指定したファイルはデータベースではありません。")},
        {"Your user name and password are not defined. Ask your database administrator to set up a "
         "Firebird login.",
         QStringLiteral("サーバーがユーザー名またはパスワードを受け付けません。")},
        {"Unable to complete network request to host \"192.168.0.9\".\n-Failed to establish a connection.\n"
         "-Connection refused",
         QStringLiteral("サーバーに接続できません。")},
        {"arithmetic exception, numeric overflow, or string truncation", QString()},
    };
    const QString message = QStringLiteral("データベース接続が出来ません。設定を確認して下さい。");
    for (const auto& c : cases) {
        const QString words = QString::fromUtf8(c.reason);
        EXPECT_EQ(WithFirebirdReason(message, c.reason),
                  message + QLatin1Char('\n') +
                      (c.meaning.isEmpty() ? QString() : c.meaning + QLatin1Char('\n')) + words)
            << c.reason;
    }
    EXPECT_EQ(WithFirebirdReason(message, " \n"), message);
}
