#include "preview/desktop_thumbnails.h"

#include "preview/picture_sources.h"
#include "preview/png_text.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <array>
#include <filesystem>

namespace {

struct SizeFolder {
    const char* name;
    int side;
};
constexpr std::array<SizeFolder, 4> kSizeFolders{
    {{"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}}};

const char* kUriKey = "Thumb::URI";
const char* kModifiedKey = "Thumb::MTime";
const char* kSizeKey = "Thumb::Size";
const char* kMimeTypeKey = "Thumb::Mimetype";
const char* kSoftwareKey = "Software";

// A thumbnail larger than any folder's side is damage.
constexpr qint64 kLargestThumbnailFile = qint64{16} << 20;
constexpr int kLargestSide = 1024;

// The keys a thumbnail must have for the file: the URI one of `uris` where one is asked for, the
// time when present or required, the size where present.
bool Describes(const QImage& thumbnail, const FileStamp& file, const QList<QByteArray>& uris,
               bool timeRequired) {
    const QString uri = thumbnail.text(QString::fromLatin1(kUriKey));
    if (!uris.isEmpty() && !uris.contains(uri.toLatin1())) {
        return false;
    }
    const QString modified = thumbnail.text(QString::fromLatin1(kModifiedKey));
    if ((timeRequired || !modified.isEmpty()) && modified != QString::number(file.modified)) {
        return false;
    }
    const QString size = thumbnail.text(QString::fromLatin1(kSizeKey));
    return size.isEmpty() || size == QString::number(file.size);
}

// The thumbnail at `path` when it describes the file, fitted into `size` pixels. Qt hands out a
// PNG's text keys with its pixels only (and its reader cuts keys at their "::"): a thumbnail is
// decoded before it is known to be stale.
QImage ReadThumbnail(const QString& path, const FileStamp& file, const QList<QByteArray>& uris,
                     bool timeRequired, int size) {
    QFile png(path);
    if (!png.open(QIODevice::ReadOnly) || png.size() > kLargestThumbnailFile) {
        return QImage();
    }
    QImageReader reader(&png, "png");
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.width() > kLargestSide || stored.height() > kLargestSide) {
        return QImage();
    }
    const QImage thumbnail = reader.read();
    if (thumbnail.isNull() || !Describes(thumbnail, file, uris, timeRequired)) {
        return QImage();
    }
    return Fitted(thumbnail, size);
}

bool MakePrivateFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    return QFile::setPermissions(folder,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Writes `picture` with the file's keys into `folder` as its thumbnail, through a temporary file
// in the same folder (made 0600) renamed over the old one, so that no reader sees half a file. Not
// flushed to the disk: a thumbnail cut short by a power failure is only made again.
bool WriteThumbnail(const QString& folder, const FileStamp& file, const QImage& picture,
                    const QString& mimeType) {
    if (!MakePrivateFolder(folder)) {
        return false;
    }
    const QString name = folder + QLatin1Char('/') + ThumbnailFileName(file.uri);
    QFile temporary(name + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate64(), 0, 16));
    if (!temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    QList<std::pair<QByteArray, QByteArray>> keys{{kUriKey, file.uri},
                                                  {kModifiedKey, QByteArray::number(file.modified)},
                                                  {kSizeKey, QByteArray::number(file.size)}};
    if (!mimeType.isEmpty()) {
        keys.append(std::pair<QByteArray, QByteArray>(kMimeTypeKey, mimeType.toLatin1()));
    }
    keys.append(std::pair<QByteArray, QByteArray>(kSoftwareKey, "qarto-groups " QARTO_VERSION));
    bool written = writer.write(picture.convertToFormat(QImage::Format_ARGB32));
    if (written) {
        const QByteArray keyed = WithTextChunks(png, keys);
        written = temporary.write(keyed) == keyed.size() && temporary.flush();
    }
    temporary.close();
    std::error_code failed;
    if (written) {
        std::filesystem::rename(QFile::encodeName(temporary.fileName()).toStdString(),
                                QFile::encodeName(name).toStdString(), failed);
    }
    if (!written || failed) {
        temporary.remove();
        return false;
    }
    return true;
}

// The name of the folder of thumbnails of `size`.
QLatin1String FolderName(int size) {
    const int side = DesktopThumbnails::FolderSide(size);
    for (const SizeFolder& folder : kSizeFolders) {
        if (folder.side == side) {
            return QLatin1String(folder.name);
        }
    }
    return QLatin1String(kSizeFolders.back().name);
}

}  // namespace

DesktopThumbnails::DesktopThumbnails(QString root, QString failFolderName)
    : root_(std::move(root)), failFolder_(root_ + QStringLiteral("/fail/") + failFolderName) {}

DesktopThumbnails DesktopThumbnails::ForThisUser() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache)) {
        cache = QDir::homePath() + QStringLiteral("/.cache");
    }
    return DesktopThumbnails(cache + QStringLiteral("/thumbnails"),
                             QStringLiteral("qarto-groups-") + QStringLiteral(QARTO_VERSION));
}

int DesktopThumbnails::FolderSide(int size) {
    for (const SizeFolder& folder : kSizeFolders) {
        if (size <= folder.side) {
            return folder.side;
        }
    }
    return kSizeFolders.back().side;
}

QImage DesktopThumbnails::Find(const FileStamp& file, int size) const {
    const QString name = ThumbnailFileName(file.uri);
    const QFileInfo original(file.path);
    const QString fileName = original.fileName();
    const QByteArray relative = "./" + EscapedUriSegment(fileName);
    const QByteArray bare = EscapedUriSegment(fileName);
    const QString shared = original.absolutePath() + QStringLiteral("/.sh_thumbnails/");
    const bool sharedThere = QFileInfo(shared).isDir();  // rare: one look saves eight
    for (const SizeFolder& folder : kSizeFolders) {
        if (folder.side < FolderSide(size)) {
            continue;  // a smaller thumbnail would show blurred
        }
        QImage found =
            ReadThumbnail(root_ + QLatin1Char('/') + QLatin1String(folder.name) + QLatin1Char('/') + name,
                          file, {file.uri}, true, size);
        // Shared thumbnails are named after the file's name alone ("./name", before that "name"),
        // and may leave out the URI and the time.
        for (const QByteArray& key : {relative, bare}) {
            if (found.isNull() && sharedThere) {
                found = ReadThumbnail(
                    shared + QLatin1String(folder.name) + QLatin1Char('/') + ThumbnailFileName(key), file,
                    {relative, bare, QByteArray()}, false, size);
            }
        }
        if (!found.isNull()) {
            return found;
        }
    }
    return QImage();
}

bool DesktopThumbnails::Store(const FileStamp& file, const QImage& picture, const QString& mimeType,
                              int size) const {
    const int side = FolderSide(size);
    const QImage fitted = picture.width() > side || picture.height() > side
                              ? picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : picture;
    return MakePrivateFolder(root_) &&
           WriteThumbnail(root_ + QLatin1Char('/') + FolderName(size), file, fitted, mimeType);
}

bool DesktopThumbnails::NoteFailure(const FileStamp& file, int size) const {
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    return MakePrivateFolder(root_) && MakePrivateFolder(root_ + QStringLiteral("/fail")) &&
           MakePrivateFolder(failFolder_) &&
           WriteThumbnail(failFolder_ + QLatin1Char('/') + FolderName(size), file, empty, QString());
}

bool DesktopThumbnails::FailedBefore(const FileStamp& file, int size) const {
    return !ReadThumbnail(failFolder_ + QLatin1Char('/') + FolderName(size) + QLatin1Char('/') +
                              ThumbnailFileName(file.uri),
                          file, {file.uri}, true, 1)
                .isNull();
}

bool DesktopThumbnails::Holds(const QString& path) const {
    const QString folder = QDir::cleanPath(QFileInfo(root_).absoluteFilePath()) + QLatin1Char('/');
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(folder);
}
