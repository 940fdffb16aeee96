// Writes the seed corpora of the picture fuzz targets: a few valid pictures of each format, with
// the kinds of content the decoders meet (palettes, compression, several images, pens, brushes,
// text). Run once by hand; its output is kept in tests/fuzz/corpus/picture_<format>/.
//   make_picture_seeds <corpus folder>
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>
#include <cstdio>
#include <functional>

#include "board/picture_files.h"

namespace {

// Little-endian fields, as every one of these formats stores them.
class Fields {
public:
    Fields() : stream_(&bytes, QIODevice::WriteOnly) {
        stream_.setByteOrder(QDataStream::LittleEndian);
        stream_.setFloatingPointPrecision(QDataStream::SinglePrecision);
    }
    template <typename... Values>
    Fields& Add(Values... values) {
        (stream_ << ... << values);
        return *this;
    }
    Fields& Raw(const QByteArray& raw) {
        stream_.writeRawData(raw.constData(), static_cast<int>(raw.size()));
        return *this;
    }
    QByteArray bytes;

private:
    QDataStream stream_;
};

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Gradient(QSize size, QImage::Format format) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, qRgba(x * 8, y * 8, 128, 255 - x * 4));
        }
    }
    return image.convertToFormat(format);
}

// An 8 x 4 bitmap of two colours stored with 8-bit run-length compression.
QByteArray RunLengthBitmap() {
    const QByteArray runs("\x08\x00\x00\x00\x04\x01\x04\x00\x00\x00\x08\x01\x00\x00\x00\x01", 16);
    constexpr quint32 kPalette = 2 * 4;
    constexpr quint32 kDataOffset = 14 + 40 + kPalette;
    Fields bitmap;
    bitmap.Add(quint8('B'), quint8('M'), quint32(kDataOffset + runs.size()), quint32(0), kDataOffset);
    bitmap.Add(quint32(40), qint32(8), qint32(4), quint16(1), quint16(8), quint32(1) /* RLE8 */);
    bitmap.Add(quint32(runs.size()), qint32(2835), qint32(2835), quint32(2), quint32(0));
    bitmap.Add(quint32(0x00FF0000), quint32(0x000000FF));
    return bitmap.Raw(runs).bytes;
}

// An icon file whose one image is stored as PNG.
QByteArray PngIcon() {
    const QByteArray png = Encoded(Gradient(QSize(32, 32), QImage::Format_ARGB32), "PNG");
    Fields icon;
    icon.Add(quint16(0), quint16(1), quint16(1));
    icon.Add(quint8(32), quint8(32), quint8(0), quint8(0), quint16(1), quint16(32), quint32(png.size()),
             quint32(6 + 16));
    return icon.Raw(png).bytes;
}

// Inserts records before the final end-of-file record of a metafile and corrects the header's
// length, record count and number of object handles.
QByteArray WithEmfRecords(const QByteArray& emf, const QByteArray& records, int recordCount, int handles) {
    constexpr int kEndRecord = 20;
    QByteArray result = emf.left(emf.size() - kEndRecord) + records + emf.right(kEndRecord);
    qToLittleEndian<quint32>(result.size(), result.data() + 48);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(result.constData() + 52) + recordCount,
                             result.data() + 52);
    qToLittleEndian<quint16>(handles, result.data() + 56);
    return result;
}

QByteArray WithWmfRecords(const QByteArray& wmf, const QByteArray& records, int objects) {
    constexpr int kPlaceable = 22;
    constexpr int kEndRecord = 6;
    QByteArray result = wmf.left(wmf.size() - kEndRecord) + records + wmf.right(kEndRecord);
    qToLittleEndian<quint32>((result.size() - kPlaceable) / 2, result.data() + kPlaceable + 6);
    qToLittleEndian<quint16>(objects, result.data() + kPlaceable + 10);
    qToLittleEndian<quint32>(64, result.data() + kPlaceable + 12);  // longer than any record here
    return result;
}

QByteArray Utf16(const QString& text) {
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Pen, brush, ellipse, polygon, line and a line of text in a font of its own.
QByteArray EmfDrawing(const QString& text) {
    Fields r;
    r.Add(quint32(18), quint32(12), quint32(1));  // transparent text
    r.Add(quint32(38), quint32(28), quint32(1), quint32(0), qint32(2), qint32(0), quint32(0x0000FF));  // pen
    r.Add(quint32(37), quint32(12), quint32(1));                                             // select
    r.Add(quint32(39), quint32(24), quint32(2), quint32(0), quint32(0x00FF00), quint32(0));  // brush
    r.Add(quint32(37), quint32(12), quint32(2));
    r.Add(quint32(42), quint32(24), qint32(2), qint32(2), qint32(30), qint32(20));  // ellipse
    r.Add(quint32(86), quint32(40), qint32(0), qint32(0), qint32(40), qint32(30), quint32(3));
    r.Add(qint16(4), qint16(28), qint16(20), qint16(4), qint16(36), qint16(28));  // polygon of 3 points
    r.Add(quint32(27), quint32(16), qint32(0), qint32(0), quint32(54), quint32(16), qint32(47), qint32(31));
    QByteArray face = Utf16(QStringLiteral("Arial"));
    face.resize(64, '\0');
    r.Add(quint32(82), quint32(104), quint32(3), qint32(-12), qint32(0), qint32(0), qint32(0), qint32(400));
    r.Add(quint8(0), quint8(0), quint8(0), quint8(128), quint8(0), quint8(0), quint8(0), quint8(0)).Raw(face);
    r.Add(quint32(37), quint32(12), quint32(3), quint32(24), quint32(12), quint32(0x800000));  // text colour
    QByteArray string = Utf16(text);
    string.resize((string.size() + 3) / 4 * 4, '\0');
    const quint32 stringOffset = 76;
    const quint32 dxOffset = stringOffset + string.size();
    r.Add(quint32(84), quint32(dxOffset + 4 * text.size()), qint32(0), qint32(0), qint32(48), qint32(32));
    r.Add(quint32(1), 1.0f, 1.0f, qint32(2), qint32(14), quint32(text.size()), stringOffset, quint32(0));
    r.Add(qint32(0), qint32(0), qint32(-1), qint32(-1), dxOffset).Raw(string);
    for (int i = 0; i < text.size(); ++i) {
        r.Add(quint32(7));
    }
    r.Add(quint32(40), quint32(12), quint32(3), quint32(33), quint32(8), quint32(34), quint32(12),
          qint32(-1));
    return WithEmfRecords(EmfBytes(QSize(48, 32)), r.bytes, 16, 4);
}

// The same kinds of records in the older format.
QByteArray WmfDrawing() {
    Fields r;
    r.Add(quint32(4), quint16(0x0102), quint16(1));                                            // transparent
    r.Add(quint32(8), quint16(0x02FA), quint16(0), qint16(20), qint16(0), quint32(0x0000FF));  // pen
    r.Add(quint32(4), quint16(0x012D), quint16(0));                                            // select
    r.Add(quint32(7), quint16(0x02FC), quint16(0), quint32(0x00FF00), quint16(0));             // brush
    r.Add(quint32(4), quint16(0x012D), quint16(1));
    r.Add(quint32(7), quint16(0x0418), qint16(300), qint16(450), qint16(30), qint16(30));  // ellipse
    r.Add(quint32(10), quint16(0x0324), qint16(3), qint16(60), qint16(400), qint16(300), qint16(60));
    r.Add(qint16(540), qint16(400));  // polygon
    r.Add(quint32(5), quint16(0x0214), qint16(0), qint16(0), quint32(5), quint16(0x0213), qint16(479),
          qint16(719));  // line
    r.Add(quint32(15), quint16(0x02FB), qint16(-180), qint16(0), qint16(0), qint16(0), qint16(400));
    r.Add(quint8(0), quint8(0), quint8(0), quint8(128), quint8(0), quint8(0), quint8(0), quint8(0));
    r.Raw(QByteArray("Arial\0", 6));
    r.Add(quint32(4), quint16(0x012D), quint16(2), quint32(5), quint16(0x0209), quint32(0x800000));
    r.Add(quint32(9), quint16(0x0521), qint16(5)).Raw(QByteArray("Qarto\0", 6)).Add(qint16(200), qint16(30));
    r.Add(quint32(4), quint16(0x01F0), quint16(2));
    return WithWmfRecords(WmfBytes(QSize(48, 32)), r.bytes, 3);
}

bool WriteSeed(const QDir& corpus, const QString& format, const QString& name, const QByteArray& bytes) {
    const QString folder = QStringLiteral("picture_") + format;
    if (!corpus.mkpath(folder)) {
        return false;
    }
    QFile file(corpus.filePath(folder + QLatin1Char('/') + name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture_seeds <corpus folder>\n");
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    const std::vector<std::tuple<QString, QString, QByteArray>> seeds{
        {"bmp", "true_colour", BitmapBytes(QSize(16, 8), Qt::blue)},
        {"bmp", "palette", Encoded(Gradient(QSize(12, 6), QImage::Format_Indexed8), "BMP")},
        {"bmp", "monochrome", Encoded(Gradient(QSize(9, 3), QImage::Format_Mono), "BMP")},
        {"bmp", "run_length", RunLengthBitmap()},
        {"ico", "standard", IconBytes(QSize(32, 32), Qt::red)},
        {"ico", "translucent", Encoded(Gradient(QSize(16, 16), QImage::Format_ARGB32), "ICO")},
        {"ico", "two_sizes", MultiIconBytes(QSize(16, 16), QSize(32, 32), Qt::green)},
        {"ico", "png_inside", PngIcon()},
        {"emf", "rectangle", EmfBytes(QSize(32, 32))},
        {"emf", "drawing", EmfDrawing(QStringLiteral("Qarto"))},
        {"emf", "japanese_text", EmfDrawing(QStringLiteral("グループ"))},
        {"wmf", "rectangle", WmfBytes(QSize(32, 32))},
        {"wmf", "coarse_units", WmfBytes(QSize(40, 20), 96)},
        {"wmf", "drawing", WmfDrawing()},
    };
    for (const auto& [format, name, bytes] : seeds) {
        if (!WriteSeed(corpus, format, name, bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", qPrintable(format), qPrintable(name));
            return 1;
        }
    }
    return 0;
}
