#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/codepage.h"
#include "platform/app_context.h"
#include "platform/folder_mapping_preferences.h"
#include "platform/preferences.h"

namespace {

class FolderMappingPreferences : public ::testing::Test {
protected:
    FolderMappingPreferences() {
        context.settingsFileName = folder.filePath(QStringLiteral("qarto-groups.dat"));
    }

    QByteArray Written() {
        QFile file(folder.filePath(QStringLiteral("qarto-groups.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    AppContext context;
};

}  // namespace

TEST_F(FolderMappingPreferences, keptAsTextBesideTheSettingsFileAndReadBackByteForByte) {
    const FolderMappings mappings{
        {"\\\\FS01\\\x90\x7d\x96\xca\\\x95\x5c\\", "/mnt/fs01/\x90\x7d\x96\xca/\x95\x5c/"},
        {"Z:\\", "/mnt/z/"}};
    ASSERT_TRUE(WriteFolderMappings(context, mappings));
    EXPECT_TRUE(Written().contains(QStringLiteral("/mnt/fs01/図面/表/").toUtf8()));
    EXPECT_EQ(ReadFolderMappings(context), mappings);
    EXPECT_FALSE(QFile::exists(context.settingsFileName));

    ASSERT_TRUE(WriteFolderMappings(context, {mappings[1]}));
    EXPECT_EQ(ReadFolderMappings(context), FolderMappings{mappings[1]});
}

TEST_F(FolderMappingPreferences, incompleteEntriesAreLeftOutAndSeparatorsCompleted) {
    {
        const std::unique_ptr<QSettings> preferences = OpenPreferences(context);
        preferences->setValue(QStringLiteral("FolderMappings/size"), 3);
        preferences->setValue(QStringLiteral("FolderMappings/1/stored"), QStringLiteral("\\\\FS01\\表"));
        preferences->setValue(QStringLiteral("FolderMappings/1/local"), QStringLiteral("/mnt/表"));
        preferences->setValue(QStringLiteral("FolderMappings/2/stored"), QStringLiteral("Y:\\"));
        preferences->setValue(QStringLiteral("FolderMappings/3/stored"), QStringLiteral("X:\\"));
        preferences->setValue(QStringLiteral("FolderMappings/3/local"), QStringLiteral("/mnt/ⅹ\U0001F600/"));
    }
    EXPECT_EQ(ReadFolderMappings(context), (FolderMappings{{"\\\\FS01\\\x95\x5c\\", "/mnt/\x95\x5c/"}}));
}

TEST_F(FolderMappingPreferences, aFileThatCannotBeWrittenIsSaidSo) {
    QFile blocker(folder.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    context.settingsFileName = folder.filePath(QStringLiteral("not-a-folder/qarto-groups.dat"));
    EXPECT_FALSE(WriteFolderMappings(context, {{"Z:\\", "/mnt/z/"}}));
}
