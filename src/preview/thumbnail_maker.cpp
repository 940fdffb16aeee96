#include "preview/thumbnail_maker.h"

#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <mutex>

#include "preview/picture_reader.h"
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

ThumbnailMaker::ThumbnailMaker(DesktopThumbnails cache, DesktopThumbnailers thumbnailers,
                               std::chrono::milliseconds timeLimit)
    : cache_(std::move(cache)), thumbnailers_(std::move(thumbnailers)), timeLimit_(timeLimit) {}

MadeThumbnail ThumbnailMaker::Make(const QString& path, int size,
                                   const std::optional<FileVersion>& known) const {
    const std::optional<FileStamp> file = StampOf(path);
    if (!file || cache_.Holds(path)) {
        return MadeThumbnail{QImage(), FileVersion{}, false, known == FileVersion{}};
    }
    if (known == file->Version()) {
        return MadeThumbnail{QImage(), *known, false, true};
    }
    MadeThumbnail made{cache_.Find(*file, size), file->Version()};
    if (!made.picture.isNull() || cache_.FailedBefore(*file, size)) {
        return made;
    }
    QString mimeType;
    const Drawing drawn = Draw(path, file->uri, DesktopThumbnails::FolderSide(size), mimeType);
    if (drawn.picture.isNull()) {
        if (!drawn.forNow) {
            cache_.NoteFailure(*file, size);
        }
        made.forNow = drawn.forNow;
        return made;
    }
    cache_.Store(*file, drawn.picture, mimeType, size);
    made.picture = Fitted(drawn.picture, size);
    return made;
}

// The first picture of the program's own source and the desktop's programs; of the moment when
// either failed for a reason of the moment.
Drawing ThumbnailMaker::Draw(const QString& path, const QByteArray& uri, int side, QString& mimeType) const {
    Drawing drawn;
    if (const PictureSource* source = SourceOf(path)) {
        drawn = DrawApart(*source, path, side, timeLimit_);
        if (!drawn.picture.isNull()) {
            mimeType = MimeTypeByExtension(path);
            return drawn;
        }
    }
    // Telling the type may read the file: not where no program could draw it anyway.
    if (thumbnailers_.Entries().empty()) {
        return drawn;
    }
    mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    if (const DesktopThumbnailers::Entry* entry = thumbnailers_.For(mimeType)) {
        const Drawing program = DesktopThumbnailers::Run(*entry, path, uri, side, timeLimit_);
        if (!program.picture.isNull()) {
            return Drawing{Fitted(program.picture, side), false};
        }
        drawn.forNow = drawn.forNow || program.forNow;
    }
    return drawn;
}
