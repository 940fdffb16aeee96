#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <filesystem>

#include "drawing_files.h"
#include "preview/desktop_thumbnails.h"
#include "preview/file_stamp.h"
#include "preview/thumbnail_maker.h"

namespace {

const QDateTime kWritten(QDate(2024, 3, 9), QTime(10, 20, 30), Qt::UTC);

// A cache of its own and a folder of 255 CP932 bytes holding the files.
class ThumbnailCache : public ::testing::Test {
protected:
    ThumbnailCache()
        : root(place.filePath(QStringLiteral("thumbnails"))),
          cache(root, QStringLiteral("qarto-groups-test")),
          maker(cache, DesktopThumbnailers({})),
          folder(LongJapaneseFolder(place.filePath(QStringLiteral("files")))) {}

    // A picture file of the given name, written at `time`.
    QString Picture(const QString& name, const QImage& picture, const QDateTime& time = kWritten) {
        const QString path = folder + name;
        EXPECT_TRUE(picture.save(path));
        SetTime(path, time);
        return path;
    }
    static void SetTime(const QString& path, const QDateTime& time) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    // Where the standard puts a file's thumbnail: the MD5 of its URI, as another program computes it.
    QString CachePath(const QString& sizeFolder, const QString& path) const {
        const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
        return root + QLatin1Char('/') + sizeFolder + QLatin1Char('/') +
               QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
               QStringLiteral(".png");
    }
    // A thumbnail written by another program, with the keys it chose.
    static void WriteForeign(const QString& path, const QImage& picture, const QMap<QString, QString>& keys) {
        QDir().mkpath(QFileInfo(path).path());
        QImage keyed = picture;
        for (auto key = keys.begin(); key != keys.end(); ++key) {
            keyed.setText(key.key(), key.value());
        }
        ASSERT_TRUE(keyed.save(path, "png"));
    }
    static QRgb Centre(const QImage& image) { return image.pixel(image.width() / 2, image.height() / 2); }

    QTemporaryDir place;
    QString root;
    DesktopThumbnails cache;
    ThumbnailMaker maker;
    QString folder;
};

}  // namespace

TEST(ThumbnailNames, uriKeepsUnreservedAndPathCharactersAndEscapesTheRestInUpperCase) {
    EXPECT_EQ(CanonicalFileUri(QStringLiteral("/tmp/表 a#%;[x]/ソ,能=@+$&!~*'().png")),
              QByteArray("file:///tmp/%E8%A1%A8%20a%23%25%3B%5Bx%5D/%E3%82%BD,%E8%83%BD=@+$&!~*'().png"));
    EXPECT_EQ(CanonicalFileUri(QStringLiteral("/tmp/a/../b/./c.png")), QByteArray("file:///tmp/b/c.png"));
    EXPECT_EQ(ThumbnailFileName("file:///home/jens/photos/me.png"),
              QStringLiteral("c6ee772d9e49320e97ec29a7eb5b1697.png"));
}

TEST_F(ThumbnailCache, aThumbnailMadeIsWrittenInTheStandardsFormAndReadBack) {
    const QString path = Picture(LongJapaneseName(QStringLiteral("png")), FramedPicture(Qt::red, 400, 300));
    const QImage made = maker.Make(path, 96).picture;
    ASSERT_FALSE(made.isNull());
    EXPECT_EQ(made.size(), QSize(96, 72));
    EXPECT_EQ(Centre(made), QColor(Qt::red).rgb());

    const QString written = CachePath(QStringLiteral("normal"), path);
    const QImage stored(written, "png");
    ASSERT_FALSE(stored.isNull()) << written.toStdString();
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::URI")).toLatin1(), QUrl::fromLocalFile(path).toEncoded());
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::MTime")), QString::number(kWritten.toSecsSinceEpoch()));
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::Size")), QString::number(QFileInfo(path).size()));
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::Mimetype")), QStringLiteral("image/png"));
    EXPECT_EQ(stored.size(), QSize(128, 96));  // the normal folder's 128 pixels
    EXPECT_TRUE(stored.hasAlphaChannel());
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(QFile::encodeName(written).toStdString()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    for (const QString& made : {root, root + QStringLiteral("/normal")}) {
        EXPECT_EQ(fs::status(QFile::encodeName(made).toStdString()).permissions(), fs::perms::owner_all);
    }
    // Nothing of the temporary file stays.
    EXPECT_EQ(QDir(root + QStringLiteral("/normal")).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // Found again without drawing: the file's bytes are not read while its time and size stay.
    const qint64 size = QFileInfo(path).size();
    ASSERT_TRUE(WriteBytes(path, QByteArray(size, 'x')));
    SetTime(path, kWritten);
    EXPECT_EQ(Centre(maker.Make(path, 96).picture), QColor(Qt::red).rgb());
}

// As GNOME's file manager and the GTK file chooser judge a cached thumbnail: with GLib's own check.
TEST_F(ThumbnailCache, otherProgramsTakeTheThumbnailsMadeForValid) {
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty()) {
        GTEST_SKIP() << "gio is not installed here (scripts/install-deps installs libglib2.0-bin)";
    }
    const QString svg = folder + LongJapaneseName(QStringLiteral("svg"));
    ASSERT_TRUE(WriteBytes(svg, SvgOf(Qt::blue)));
    const QString pdf = folder + LongJapaneseName(QStringLiteral("pdf"));
    WritePdf(pdf, Qt::green);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), place.path());
    for (const QString& path :
         {Picture(LongJapaneseName(QStringLiteral("png")), FramedPicture(Qt::red)),
          Picture(LongJapaneseName(QStringLiteral("jpg")), FramedPicture(Qt::cyan)), svg, pdf}) {
        ASSERT_FALSE(maker.Make(path, 128).picture.isNull()) << path.right(4).toStdString();
        QProcess check;
        check.setProcessEnvironment(environment);
        check.start(
            gio, {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("thumbnail::is-valid"), path});
        ASSERT_TRUE(check.waitForFinished(30000));
        const QByteArray said = check.readAllStandardOutput();
        EXPECT_TRUE(said.contains("thumbnail::is-valid: TRUE"))
            << path.right(4).toStdString() << ": " << said.toStdString();
    }
}

TEST_F(ThumbnailCache, aThumbnailOfAFileThatChangedIsNeverShown) {
    const QString path = Picture(QStringLiteral("表.png"), FramedPicture(Qt::red));
    ASSERT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::red).rgb());
    // Another picture in its place, later.
    Picture(QStringLiteral("表.png"), FramedPicture(Qt::blue), kWritten.addSecs(60));
    EXPECT_TRUE(cache.Find(*StampOf(path), 128).isNull());
    EXPECT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::blue).rgb());

    // The same time but another size is another file too.
    Picture(QStringLiteral("表.png"), FramedPicture(Qt::green, 300, 200), kWritten.addSecs(60));
    EXPECT_TRUE(cache.Find(*StampOf(path), 128).isNull());
    EXPECT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::green).rgb());
}

TEST_F(ThumbnailCache, aThumbnailAnotherProgramMadeIsTakenAsItIs) {
    const QString path = Picture(QStringLiteral("ソ.png"), FramedPicture(Qt::red));
    const QMap<QString, QString> keys{
        {QStringLiteral("Thumb::URI"), QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded())},
        {QStringLiteral("Thumb::MTime"), QString::number(kWritten.toSecsSinceEpoch())}};
    WriteForeign(CachePath(QStringLiteral("large"), path), FramedPicture(Qt::cyan, 256, 200), keys);
    const QImage found = maker.Make(path, 128).picture;  // a larger one is scaled down
    EXPECT_EQ(found.size(), QSize(128, 100));
    EXPECT_EQ(Centre(found), QColor(Qt::cyan).rgb());
    // A smaller one would be blurred: the file is drawn anew.
    EXPECT_EQ(Centre(maker.Make(path, 512).picture), QColor(Qt::red).rgb());
}

TEST_F(ThumbnailCache, theSharedFolderBesideTheFilesIsRead) {
    const QString name = QStringLiteral("能 1.png");
    const QString path = Picture(name, FramedPicture(Qt::red));
    const QString shared = folder + QStringLiteral(".sh_thumbnails/normal/");
    // Named after "./" and the escaped name; the URI and the time may be left out.
    const QString relative =
        QString::fromLatin1(QCryptographicHash::hash("./%E8%83%BD%201.png", QCryptographicHash::Md5).toHex());
    WriteForeign(shared + relative + QStringLiteral(".png"), FramedPicture(Qt::magenta, 128, 128), {});
    EXPECT_EQ(Centre(cache.Find(*StampOf(path), 128)), QColor(Qt::magenta).rgb());
    // One whose time is there must be the file's.
    WriteForeign(shared + relative + QStringLiteral(".png"), FramedPicture(Qt::magenta, 128, 128),
                 {{QStringLiteral("Thumb::MTime"), QStringLiteral("12345")}});
    EXPECT_TRUE(cache.Find(*StampOf(path), 128).isNull());
    // The shared folder is never written: what is made goes to this user's cache.
    EXPECT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::red).rgb());
    EXPECT_EQ(QDir(shared).entryList(QDir::Files).size(), 1);
}

TEST_F(ThumbnailCache, aDamagedThumbnailIsMadeAgain) {
    const QString path = Picture(QStringLiteral("表ソ.png"), FramedPicture(Qt::red));
    ASSERT_FALSE(maker.Make(path, 128).picture.isNull());
    const QString written = CachePath(QStringLiteral("normal"), path);
    QFile damaged(written);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.resize(damaged.size() / 2);
    damaged.close();
    EXPECT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::red).rgb());
    EXPECT_TRUE(QImageReader(written).canRead());
    EXPECT_FALSE(QImage(written).isNull());
}

TEST_F(ThumbnailCache, aFileNothingDrawsIsNotedForItsSizeAndTriedAgainWhenItChanges) {
    const QString path = folder + QStringLiteral("壊れた.png");
    ASSERT_TRUE(WriteBytes(path, "not a picture"));
    SetTime(path, kWritten);
    EXPECT_TRUE(maker.Make(path, 128).picture.isNull());
    const QString noted = CachePath(QStringLiteral("fail/qarto-groups-test/normal"), path);
    const QImage failure(noted, "png");
    ASSERT_FALSE(failure.isNull());
    EXPECT_EQ(failure.text(QStringLiteral("Thumb::URI")).toLatin1(), QUrl::fromLocalFile(path).toEncoded());
    EXPECT_EQ(failure.text(QStringLiteral("Thumb::MTime")), QString::number(kWritten.toSecsSinceEpoch()));
    EXPECT_TRUE(cache.FailedBefore(*StampOf(path), 128));
    // Another size is another try.
    EXPECT_FALSE(cache.FailedBefore(*StampOf(path), 512));
    EXPECT_FALSE(QFile::exists(CachePath(QStringLiteral("fail/qarto-groups-test/x-large"), path)));

    // Mended (a later time): made now.
    Picture(QStringLiteral("壊れた.png"), FramedPicture(Qt::yellow), kWritten.addSecs(1));
    EXPECT_FALSE(cache.FailedBefore(*StampOf(path), 128));
    EXPECT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::yellow).rgb());
}

TEST_F(ThumbnailCache, noThumbnailsAreMadeOfTheCacheItself) {
    const QString path = Picture(QStringLiteral("a.png"), FramedPicture(Qt::red));
    ASSERT_FALSE(maker.Make(path, 128).picture.isNull());
    EXPECT_TRUE(maker.Make(CachePath(QStringLiteral("normal"), path), 128).picture.isNull());
    EXPECT_FALSE(QDir(root + QStringLiteral("/fail")).exists());
}
