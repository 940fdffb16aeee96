#include "preview/picture_sources.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfDocument>
#include <QSvgRenderer>

#include "platform/apart_worker.h"
#include "platform/picture.h"
#include "preview/dwg_preview.h"
#include "preview/dxf_preview.h"

namespace {

// A drawing's preview is read within this time; a file on a dead mount is given up after it.
constexpr std::chrono::milliseconds kPreviewTimeLimit{5000};
// The largest picture decoded for a thumbnail, in pixels: more is damage, or not worth the memory.
constexpr qint64 kLargestPixels = qint64{100} << 20;

// The answer of the preview reader's child: one byte for the kind, then the picture file.
QByteArray Sent(const EmbeddedPreview& preview) {
    return QByteArray(1, static_cast<char>(preview.kind)) +
           QByteArray(preview.bytes.data(), static_cast<qsizetype>(preview.bytes.size()));
}

QImage DecodedPreview(const QByteArray& answer) {
    if (answer.size() < 2) {
        return QImage();
    }
    const auto kind = static_cast<EmbeddedPreview::Kind>(answer.front());
    const QByteArray picture = answer.mid(1);
    if (kind == EmbeddedPreview::Kind::Wmf) {
        return MetafileImage(picture, false);
    }
    return QImage::fromData(picture, kind == EmbeddedPreview::Kind::Png ? "png" : "bmp");
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
    return reader.read();
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

}  // namespace

QImage Fitted(const QImage& picture, int side) {
    if (picture.isNull() || (picture.width() <= side && picture.height() <= side)) {
        return picture;
    }
    return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

PictureSource SourceOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("dwg") || extension == QLatin1String("dxf")) {
        return PictureSource::Drawing;
    }
    if (extension == QLatin1String("pdf")) {
        return PictureSource::Pdf;
    }
    static const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    if (extension == QLatin1String("emf") || extension == QLatin1String("wmf") ||
        extension == QLatin1String("svg") || readable.contains(extension.toLatin1())) {
        return PictureSource::Own;
    }
    return PictureSource::None;
}

// The readers run in a child process kept for them: a request is "w" (DWG) or "x" (DXF) and the
// file's name in the file system's encoding. Only Qt-free code runs there, so no lock another thread
// of the program held at the fork is ever waited for.
static ApartWorker& PreviewReader() {
    static ApartWorker reader(
        [](const QByteArray& request) -> std::optional<QByteArray> {
            if (request.isEmpty()) {
                return std::nullopt;
            }
            const ByteSource file = FileSource(request.mid(1).toStdString());
            const std::optional<EmbeddedPreview> preview =
                request.front() == 'w' ? DwgPreview(file) : DxfPreview(file);
            return preview ? std::optional<QByteArray>(Sent(*preview)) : std::nullopt;
        },
        kPreviewTimeLimit, 1 + static_cast<qsizetype>(kLargestPreview));
    return reader;
}

QImage DrawingPreview(const QString& path, int side) {
    const bool dwg = QFileInfo(path).suffix().compare(QLatin1String("dwg"), Qt::CaseInsensitive) == 0;
    const std::optional<QByteArray> answer = PreviewReader().Run((dwg ? "w" : "x") + QFile::encodeName(path));
    return answer ? Fitted(DecodedPreview(*answer), side) : QImage();
}

QImage OwnPicture(const QString& path, int side) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("svg")) {
        return DrawnSvg(path, side);
    }
    if (extension == QLatin1String("emf") || extension == QLatin1String("wmf") ||
        extension == QLatin1String("bmp") || extension == QLatin1String("ico")) {
        return Fitted(LoadPictureImage(path), side);
    }
    return Fitted(ReadImage(path, side), side);
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
