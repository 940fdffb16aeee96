#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/file_facts.h"

namespace {

class FileFactsTest : public ::testing::Test {
protected:
    QString MakeFile(const QString& name, qint64 size) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(file.resize(size));
        return file.fileName();
    }
    QTemporaryDir folder;
};

}  // namespace

TEST(FileTimeText, showsLocalTimeWithSecondsRoundedDownToEven) {
    EXPECT_EQ(FileTimeText(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7, 999))), "2021/03/04 05:06:06");
    EXPECT_EQ(FileTimeText(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))), "1999/12/31 23:59:58");
    EXPECT_EQ(FileTimeText(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1))), "2000/01/01 00:00:00");
}

TEST_F(FileFactsTest, fileHasItsSizeAndLastWriteTime) {
    const QString path = MakeFile(QStringLiteral("a.dwg"), 1234);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        file.setFileTime(QDateTime(QDate(2022, 7, 8), QTime(13, 14, 15)), QFileDevice::FileModificationTime));
    EXPECT_TRUE(FileExists(path));
    const std::optional<FileFacts> facts = FindFileFacts(path);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, 1234);
    EXPECT_EQ(facts->lastWriteTime, "2022/07/08 13:14:14");
    EXPECT_TRUE(facts->isFile);
}

TEST_F(FileFactsTest, sizesBeyondThirtyTwoBitsAreKept) {
    const std::optional<FileFacts> facts = FindFileFacts(MakeFile(QStringLiteral("big.dwg"), 5LL << 30));
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, 5LL << 30);
}

TEST_F(FileFactsTest, folderIsFoundButIsNoFile) {
    EXPECT_FALSE(FileExists(folder.path()));
    ASSERT_TRUE(FindFileFacts(folder.path()));
    EXPECT_FALSE(FindFileFacts(folder.path())->isFile);
}

TEST_F(FileFactsTest, missingOrEmptyPathHasNoFacts) {
    EXPECT_FALSE(FileExists(folder.filePath(QStringLiteral("none.dwg"))));
    EXPECT_FALSE(FindFileFacts(folder.filePath(QStringLiteral("none.dwg"))));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FindFileFacts(QString()));
}

TEST_F(FileFactsTest, backslashIsPartOfTheName) {
    const QString path = MakeFile(QStringLiteral("a\\b.dwg"), 3);
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(folder.filePath(QStringLiteral("a"))));
}

TEST_F(FileFactsTest, linkToAFileIsThatFileUnderAJapaneseName) {
    const QString target = MakeFile(QStringLiteral("平面詳細図（表ソ能）.dwg"), 77);
    const QString link = folder.filePath(QStringLiteral("リンク.dwg"));
    ASSERT_TRUE(QFile::link(target, link));
    const std::optional<FileFacts> facts = FindFileFacts(link);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, 77);
    EXPECT_TRUE(facts->isFile);
    EXPECT_EQ(facts->isFile, FileExists(link));
}
