#include "platform/picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/picture_isolation.h"

namespace {

// A metafile may claim any size; a picture larger than this on either side is taken as damaged
// rather than allocated.
constexpr int kLargestSide = 4096;

QImage FromImageFile(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);  // the extension decides, as it does for metafiles
    // An icon file may hold several images; take the standard 32 x 32 one when there is one.
    const int count = reader.imageCount();
    if (count > 1) {
        int chosen = 0;
        for (int i = 0; i < count; ++i) {
            if (reader.jumpToImage(i) && reader.size() == QSize(32, 32)) {
                chosen = i;
                break;
            }
        }
        reader.jumpToImage(chosen);
    }
    return reader.read();
}

QImage FromMetafile(const QString& path, bool emf) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QImage();
    }
    return MetafileImage(file.readAll(), emf);
}

}  // namespace

QImage MetafileImage(const QByteArray& bytes, bool emf) {
    // The converter libraries are not trusted with a damaged file: they run apart from the program.
    const std::optional<MetafileSvg> converted = ConvertApart(emf ? &EmfToSvg : &WmfToSvg, bytes);
    if (!converted || converted->size.width() > kLargestSide || converted->size.height() > kLargestSide) {
        return QImage();
    }
    QSvgRenderer renderer(converted->svg);
    if (!renderer.isValid()) {
        return QImage();
    }
    QImage image(converted->size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return QImage();
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

QImage LoadPictureImage(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("bmp") || extension == QLatin1String("ico")) {
        return FromImageFile(path, extension == QLatin1String("bmp") ? "bmp" : "ico");
    }
    if (extension == QLatin1String("emf") || extension == QLatin1String("wmf")) {
        return FromMetafile(path, extension == QLatin1String("emf"));
    }
    return QImage();
}

QPixmap LoadPicture(const QString& path) {
    return QPixmap::fromImage(LoadPictureImage(path));
}

QPixmap PictureCache::Load(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        entries_.remove(path);
        return QPixmap();
    }
    const QDateTime modified = info.lastModified();
    const auto found = entries_.constFind(path);
    if (found != entries_.constEnd() && found->modified == modified && found->size == info.size()) {
        return found->pixmap;
    }
    const QPixmap pixmap = LoadPicture(path);
    entries_.insert(path, Entry{modified, info.size(), pixmap});
    return pixmap;
}
