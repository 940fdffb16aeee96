#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/app_context.h"
#include "platform/preferences.h"

TEST(Preferences, liveBesideTheSettingsFileAsUtf8Ini) {
    QTemporaryDir folder;
    AppContext context;
    context.settingsFileName = folder.filePath(QStringLiteral("qarto-groups.dat"));
    const QString mapped = QStringLiteral("/mnt/fs01/図面/表ソ能/");
    OpenPreferences(context)->setValue(QStringLiteral("mappings/local"), mapped);

    QFile file(folder.filePath(QStringLiteral("qarto-groups.ini")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(mapped.toUtf8()));
    EXPECT_EQ(OpenPreferences(context)->value(QStringLiteral("mappings/local")).toString(), mapped);
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("qarto-groups.dat"))));
}
