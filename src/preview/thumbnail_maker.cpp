#include "preview/thumbnail_maker.h"

#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <mutex>

#include "preview/picture_sources.h"

namespace {

// The MIME type of a file by its extension, looked up once for each extension: the desktop's
// patterns are many.
QString MimeTypeByExtension(const QString& path) {
    static std::mutex lock;
    static QHash<QString, QString> known;
    const QString extension = QFileInfo(path).suffix().toLower();
    const std::lock_guard<std::mutex> held(lock);
    const auto found = known.constFind(extension);
    if (found != known.constEnd()) {
        return *found;
    }
    const QString type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    known.insert(extension, type);
    return type;
}

}  // namespace

ThumbnailMaker::ThumbnailMaker(DesktopThumbnails cache, DesktopThumbnailers thumbnailers)
    : cache_(std::move(cache)), thumbnailers_(std::move(thumbnailers)) {}

QImage ThumbnailMaker::Make(const QString& path, int size) const {
    const std::optional<FileStamp> file = StampOf(path);
    if (!file || cache_.Holds(path)) {
        return QImage();
    }
    QImage found = cache_.Find(*file, size);
    if (!found.isNull() || cache_.FailedBefore(*file)) {
        return found;
    }
    QString mimeType;
    const QImage drawn = Draw(path, file->uri, DesktopThumbnails::FolderSide(size), mimeType);
    if (drawn.isNull()) {
        cache_.NoteFailure(*file);
        return drawn;
    }
    cache_.Store(*file, drawn, mimeType, size);
    return Fitted(drawn, size);
}

QImage ThumbnailMaker::Draw(const QString& path, const QByteArray& uri, int side, QString& mimeType) const {
    const QMimeDatabase types;
    QImage picture;
    switch (SourceOf(path)) {
        case PictureSource::Drawing:
            picture = DrawingPreview(path, side);
            break;
        case PictureSource::Own:
            picture = OwnPicture(path, side);
            break;
        case PictureSource::Pdf:
            picture = PdfFirstPage(path, side);
            break;
        case PictureSource::None:
            break;
    }
    if (!picture.isNull()) {
        mimeType = MimeTypeByExtension(path);
        return picture;
    }
    // Telling the type may read the file: not where no program could draw it anyway.
    if (thumbnailers_.Entries().empty()) {
        return picture;
    }
    mimeType = types.mimeTypeForFile(path).name();
    if (const DesktopThumbnailers::Entry* entry = thumbnailers_.For(mimeType)) {
        picture = Fitted(DesktopThumbnailers::Run(*entry, path, uri, side, kThumbnailerTimeLimit), side);
    }
    return picture;
}
