#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "picture_files.h"
#include "platform/picture.h"

namespace {

class PictureTest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder.filePath(name);
        WriteFile(path, bytes);
        return path;
    }
    QTemporaryDir folder;
};

bool HasVisiblePixel(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return true;
            }
        }
    }
    return false;
}

// Ways a file can arrive broken beyond reading: overwritten, cut inside its header, empty.
std::vector<QByteArray> UnreadableVersionsOf(const QByteArray& bytes) {
    QByteArray scrambled = bytes;
    for (qsizetype i = 0; i < scrambled.size(); i += 3) {
        scrambled[i] = static_cast<char>(0xA5 ^ i);
    }
    return {bytes.left(12), scrambled, QByteArray()};
}

}  // namespace

TEST_F(PictureTest, everyFormatLoadsAtItsOwnSize) {
    const QPixmap bitmap = LoadPicture(Write("a.bmp", BitmapBytes(QSize(40, 24), Qt::blue)));
    EXPECT_EQ(bitmap.size(), QSize(40, 24));
    EXPECT_EQ(bitmap.toImage().pixelColor(20, 12), QColor(Qt::blue));

    const QPixmap icon = LoadPicture(Write("a.ico", IconBytes(QSize(32, 32), Qt::green)));
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.toImage().pixelColor(16, 16), QColor(Qt::green));

    for (const QString& name : {QStringLiteral("a.emf"), QStringLiteral("a.wmf")}) {
        const QByteArray bytes = name.endsWith("emf") ? EmfBytes(QSize(48, 32)) : WmfBytes(QSize(48, 32));
        const QPixmap metafile = LoadPicture(Write(name, bytes));
        EXPECT_EQ(metafile.size(), QSize(48, 32)) << name.toStdString();
        EXPECT_TRUE(HasVisiblePixel(metafile)) << name.toStdString();
    }
}

TEST_F(PictureTest, theExtensionDecidesWhateverItsCase) {
    EXPECT_FALSE(LoadPicture(Write("upper.BMP", BitmapBytes(QSize(8, 8), Qt::blue))).isNull());
    EXPECT_FALSE(LoadPicture(Write("upper.Wmf", WmfBytes(QSize(8, 8)))).isNull());
    // Content of another format, or an extension the board does not read, gives nothing.
    EXPECT_TRUE(LoadPicture(Write("bitmap.ico", BitmapBytes(QSize(8, 8), Qt::blue))).isNull());
    EXPECT_TRUE(LoadPicture(Write("picture.png", QByteArray())).isNull());
    EXPECT_TRUE(LoadPicture(Write("emf.wmf", EmfBytes(QSize(8, 8)))).isNull());
    EXPECT_TRUE(LoadPicture(folder.filePath("missing.bmp")).isNull());
    EXPECT_TRUE(LoadPicture(folder.path()).isNull());
}

TEST_F(PictureTest, aDamagedFileOfEachFormatGivesNothing) {
    const std::vector<std::pair<QString, QByteArray>> originals{
        {QStringLiteral("bmp"), BitmapBytes(QSize(32, 32), Qt::blue)},
        {QStringLiteral("ico"), IconBytes(QSize(32, 32), Qt::blue)},
        {QStringLiteral("emf"), EmfBytes(QSize(32, 32))},
        {QStringLiteral("wmf"), WmfBytes(QSize(32, 32))}};
    for (const auto& [extension, bytes] : originals) {
        int version = 0;
        for (const QByteArray& damaged : UnreadableVersionsOf(bytes)) {
            const QString name = QStringLiteral("damaged%1.").arg(++version) + extension;
            EXPECT_TRUE(LoadPicture(Write(name, damaged)).isNull()) << name.toStdString();
        }
        // Cut short after its header: nothing, or (a bitmap) the rows that could be read.
        const QString cut = QStringLiteral("cut.") + extension;
        const QPixmap partial = LoadPicture(Write(cut, bytes.left(bytes.size() / 2)));
        EXPECT_TRUE(partial.isNull() || (extension == "bmp" && partial.size() == QSize(32, 32)))
            << cut.toStdString();
    }
}

TEST_F(PictureTest, aMetafileClaimingAHugeSizeIsRefused) {
    EXPECT_TRUE(LoadPicture(Write("huge.wmf", WmfBytes(QSize(30000, 30000), 96))).isNull());
    EXPECT_TRUE(LoadPicture(Write("huge.emf", EmfBytes(QSize(100000, 100000)))).isNull());
}

TEST_F(PictureTest, anIconFileShowsItsStandardSizeImage) {
    EXPECT_EQ(LoadPicture(Write("two.ico", MultiIconBytes(QSize(16, 16), QSize(32, 32), Qt::blue))).size(),
              QSize(32, 32));
    EXPECT_EQ(LoadPicture(Write("other.ico", MultiIconBytes(QSize(16, 16), QSize(48, 48), Qt::blue))).size(),
              QSize(16, 16));
}

TEST_F(PictureTest, theCacheDecodesAFileOnceUntilItChanges) {
    PictureCache cache;
    const QString path = Write("shared.bmp", BitmapBytes(QSize(32, 32), Qt::blue));
    const QPixmap first = cache.Load(path);
    EXPECT_EQ(cache.Load(path).cacheKey(), first.cacheKey());

    WriteFile(path, BitmapBytes(QSize(16, 8), Qt::red));
    EXPECT_EQ(cache.Load(path).size(), QSize(16, 8));
    QFile::remove(path);
    EXPECT_TRUE(cache.Load(path).isNull());
}

TEST(DefaultPicture, theProjectsOwnIconIsAStandardSizeIcon) {
    const QPixmap icon = LoadPicture(QStringLiteral(QARTO_SOURCE_DIR "/img/icon1.ico"));
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_TRUE(icon.hasAlphaChannel());
}
