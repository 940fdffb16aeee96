#include "preview/picture_sources.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfDocument>
#include <QSvgRenderer>
#include <array>

#include "platform/picture.h"
#include "preview/dwg_preview.h"
#include "preview/dxf_preview.h"

namespace {

// The largest picture decoded for a thumbnail, in pixels: more is damage, or not worth the memory.
constexpr qint64 kLargestPixels = qint64{100} << 20;

QImage PreviewImage(const std::optional<EmbeddedPreview>& preview, int side) {
    if (!preview) {
        return QImage();
    }
    const QByteArray picture = QByteArray::fromStdString(preview->bytes);
    if (preview->kind == EmbeddedPreview::Kind::Wmf) {
        return Fitted(MetafileImage(picture, false), side);
    }
    return Fitted(QImage::fromData(picture, preview->kind == EmbeddedPreview::Kind::Png ? "png" : "bmp"),
                  side);
}

QImage DwgPicture(const QString& path, int side) {
    return PreviewImage(DwgPreview(FileSource(QFile::encodeName(path).toStdString())), side);
}

QImage DxfPicture(const QString& path, int side) {
    return PreviewImage(DxfPreview(FileSource(QFile::encodeName(path).toStdString())), side);
}

QImage PdfFirstPage(const QString& path, int side) {
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || document.pageCount() < 1) {
        return QImage();
    }
    const QSizeF page = document.pagePointSize(0);
    if (page.isEmpty()) {
        return QImage();
    }
    const QSize size = page.scaled(side, side, Qt::KeepAspectRatio).toSize();
    QImage rendered = document.render(0, size);
    if (rendered.isNull()) {
        return rendered;
    }
    // Pages are paper: their transparent parts show white.
    QImage paper(rendered.size(), QImage::Format_ARGB32_Premultiplied);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, rendered);
    return paper;
}

QImage DrawnSvg(const QString& path, int side) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty()) {
        return QImage();
    }
    QImage image(renderer.defaultSize().scaled(side, side, Qt::KeepAspectRatio),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return QImage();
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// The program's own reader of .bmp, .ico and the Windows metafiles.
QImage ProgramsOwnPicture(const QString& path, int side) {
    return Fitted(LoadPictureImage(path), side);
}

QImage ReadImage(const QString& path, int side) {
    QImageReader reader(path);
    reader.setAutoTransform(true);  // the standard asks for the Exif orientation to be kept
    const QSize size = reader.size();
    if (size.isValid()) {
        if (qint64{size.width()} * size.height() > kLargestPixels) {
            return QImage();
        }
        // Readers that can (JPEG) decode straight at the smaller size.
        if (size.width() > side || size.height() > side) {
            reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
        }
    }
    return Fitted(reader.read(), side);
}

constexpr std::array kSources{
    PictureSource{'w', "dwg ", PictureLane::General, &DwgPicture},
    PictureSource{'x', "dxf ", PictureLane::General, &DxfPicture},
    PictureSource{'p', "pdf ", PictureLane::Pdf, &PdfFirstPage},
    PictureSource{'s', "svg svgz ", PictureLane::General, &DrawnSvg},
    PictureSource{'o', "bmp ico emf wmf ", PictureLane::General, &ProgramsOwnPicture},
    PictureSource{'i', "*", PictureLane::General, &ReadImage},
};

bool Takes(const PictureSource& source, const QString& extension) {
    if (qstrcmp(source.extensions, "*") == 0) {
        static const QList<QByteArray> readable = QImageReader::supportedImageFormats();
        return readable.contains(extension.toLatin1());
    }
    return QLatin1String(source.extensions).contains(extension + QLatin1Char(' '));
}

}  // namespace

std::span<const PictureSource> PictureSources() {
    return kSources;
}

const PictureSource* SourceOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension.isEmpty() || extension.contains(QLatin1Char(' '))) {
        return nullptr;
    }
    for (const PictureSource& source : kSources) {
        if (Takes(source, extension)) {
            return &source;
        }
    }
    return nullptr;
}

const PictureSource* SourceOfLetter(char letter) {
    for (const PictureSource& source : kSources) {
        if (source.letter == letter) {
            return &source;
        }
    }
    return nullptr;
}

PictureLane LaneOf(const QString& path) {
    const PictureSource* source = SourceOf(path);
    return source != nullptr ? source->lane : PictureLane::General;
}

QImage Fitted(const QImage& picture, int side) {
    if (picture.isNull() || (picture.width() <= side && picture.height() <= side)) {
        return picture;
    }
    return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
