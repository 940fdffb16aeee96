#include "drawing_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QtEndian>

#include "platform/codec.h"

namespace {

constexpr char kSentinel[] = "\x1F\x25\x6D\x07\xD4\x36\x28\x28\x9D\x57\xCA\x3F\x9D\x44\x10\x2B";

QByteArray Little32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

const QString kBackslashTrails = QStringLiteral("表ソ能");

}  // namespace

QImage FramedPicture(QColor colour, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.fillRect(2, 2, width - 4, height - 4, colour);
    return picture;
}

QByteArray BareBitmap(const QImage& picture) {
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "bmp");
    return file.mid(14);
}

QByteArray PngBytes(const QImage& picture) {
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return file;
}

QByteArray DwgWithPreview(const QByteArray& bitmap, const QByteArray& png, int drawingBytes) {
    constexpr int kImageDataAt = 0x80;
    QByteArray file("AC1015");
    file.append(QByteArray(0x0D - file.size(), '\0'));
    file.append(Little32(kImageDataAt));
    file.append(QByteArray(kImageDataAt - file.size(), '\0'));

    const QByteArray headerData(80, '\x01');
    struct Entry {
        char type;
        const QByteArray* bytes;
    };
    QList<Entry> entries{{1, &headerData}};
    if (!bitmap.isEmpty()) {
        entries << Entry{2, &bitmap};
    }
    if (!png.isEmpty()) {
        entries << Entry{6, &png};
    }
    const int listEnd = kImageDataAt + 16 + 4 + 1 + 9 * static_cast<int>(entries.size());
    QByteArray list(1, static_cast<char>(entries.size()));
    QByteArray data;
    for (const Entry& entry : entries) {
        list.append(entry.type).append(Little32(listEnd + data.size())).append(Little32(entry.bytes->size()));
        data.append(*entry.bytes);
    }
    file.append(QByteArray(kSentinel, 16))
        .append(Little32(list.size() + data.size()))
        .append(list)
        .append(data);
    QByteArray end(kSentinel, 16);
    for (char& byte : end) {
        byte = static_cast<char>(~byte);
    }
    file.append(end);
    file.append(QByteArray(drawingBytes, '\x55'));
    return file;
}

QByteArray DxfWithThumbnail(const QByteArray& thumbnail, int entities, qint64 declared) {
    QByteArray dxf(
        "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1018\r\n  0\r\nENDSEC\r\n"
        "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
    for (int i = 0; i < entities; ++i) {
        dxf.append("  0\r\nLINE\r\n  8\r\n0\r\n 10\r\n" + QByteArray::number(i) +
                   ".0\r\n 20\r\n0.0\r\n 11\r\n" + QByteArray::number(i + 1) + ".0\r\n 21\r\n10.0\r\n");
    }
    dxf.append("  0\r\nENDSEC\r\n");
    if (!thumbnail.isEmpty()) {
        dxf.append("  0\r\nSECTION\r\n  2\r\nTHUMBNAILIMAGE\r\n 90\r\n" +
                   QByteArray::number(declared < 0 ? thumbnail.size() : declared) + "\r\n");
        const QByteArray hex = thumbnail.toHex().toUpper();
        for (qsizetype at = 0; at < hex.size(); at += 254) {
            dxf.append("310\r\n" + hex.mid(at, 254) + "\r\n");
        }
        dxf.append("  0\r\nENDSEC\r\n");
    }
    dxf.append("  0\r\nEOF\r\n");
    return dxf;
}

void WritePdf(const QString& path, QColor colour) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    painter.fillRect(QRect(QPoint(0, 0), painter.viewport().size()), colour);
}

QByteArray PdfThatNeverEnds() {
    constexpr int kDepth = 9;
    const QByteArray tenTimes = QByteArray("/X Do\n").repeated(10);
    const auto form = [](int object, const QByteArray& resources, const QByteArray& content) {
        return QByteArray::number(object) + " 0 obj\n<< /Type /XObject /Subtype /Form /BBox [0 0 595 842]" +
               resources + " /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
               "\nendstream\nendobj\n";
    };
    QList<QByteArray> objects{
        "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n",
        "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n",
        "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject << /X 5 0 R >> "
        ">> /Contents 4 0 R >>\nendobj\n",
        "4 0 obj\n<< /Length " + QByteArray::number(tenTimes.size()) + " >>\nstream\n" + tenTimes +
            "\nendstream\nendobj\n"};
    for (int level = 0; level < kDepth; ++level) {
        const int object = 5 + level;
        objects << (level + 1 < kDepth ? form(object,
                                              " /Resources << /XObject << /X " +
                                                  QByteArray::number(object + 1) + " 0 R >> >>",
                                              tenTimes)
                                       : form(object, "", "0 0 1 rg 10 10 100 100 re f"));
    }
    QByteArray pdf("%PDF-1.4\n");
    QByteArray table = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const QByteArray& object : objects) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += object;
    }
    return pdf + table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

QByteArray SvgOf(QColor colour) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\">"
           "<rect width=\"200\" height=\"100\" fill=\"" +
           colour.name().toLatin1() + "\"/></svg>";
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString LongJapaneseName(const QString& extension) {
    // 255 bytes is the file system's limit, in UTF-8: three bytes for each of these characters.
    QString name;
    while ((name + kBackslashTrails[0] + QLatin1Char('.') + extension).toUtf8().size() <= 255) {
        name += kBackslashTrails[name.size() % 3];
    }
    return name + QLatin1Char('.') + extension;
}

QString LongJapaneseFolder(const QString& base) {
    QString folder = QDir::cleanPath(base);
    const auto left = [&] { return 255 - static_cast<int>(ToCp932(folder + QLatin1Char('/'))->size()); };
    while (left() > 0) {
        if (left() < 3) {
            folder += QString(left(), QLatin1Char('a'));
            break;
        }
        // A folder name holds at most 80 of these (240 bytes of UTF-8); a letter evens out an odd byte.
        const int characters = std::min(80, (left() - 1) / 2);
        QString part;
        for (int i = 0; i < characters; ++i) {
            part += kBackslashTrails[i % 3];
        }
        if (characters < 80 && (left() - 1) % 2 == 1) {
            part += QLatin1Char('a');
        }
        folder += QLatin1Char('/') + part;
    }
    QDir().mkpath(folder);
    return folder + QLatin1Char('/');
}
