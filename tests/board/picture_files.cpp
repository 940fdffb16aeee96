#include "picture_files.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>

namespace {

QByteArray Encoded(QSize size, QColor color, const char* format) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Little-endian fields appended one after another.
class Writer {
public:
    Writer& U16(quint16 value) { return Put(qToLittleEndian(value)); }
    Writer& U32(quint32 value) { return Put(qToLittleEndian(value)); }
    Writer& I16(qint16 value) { return Put(qToLittleEndian(value)); }
    Writer& I32(qint32 value) { return Put(qToLittleEndian(value)); }
    QByteArray bytes;

private:
    template <typename T>
    Writer& Put(T value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
};

constexpr int kHundredthMillimetresPerInch = 2540;
constexpr int kScreenDpi = 96;

}  // namespace

QByteArray BitmapBytes(QSize size, QColor color) {
    return Encoded(size, color, "BMP");
}

QByteArray IconBytes(QSize size, QColor color) {
    return Encoded(size, color, "ICO");
}

QByteArray MultiIconBytes(QSize first, QSize second, QColor color) {
    // Each single-image file is a 6-byte header, one 16-byte directory entry and the image data.
    const QByteArray a = IconBytes(first, color);
    const QByteArray b = IconBytes(second, color);
    const QByteArray dataA = a.mid(22);
    const QByteArray dataB = b.mid(22);
    Writer header;
    header.U16(0).U16(1).U16(2);
    QByteArray entryA = a.mid(6, 16);
    QByteArray entryB = b.mid(6, 16);
    qToLittleEndian<quint32>(6 + 32, entryA.data() + 12);
    qToLittleEndian<quint32>(6 + 32 + dataA.size(), entryB.data() + 12);
    return header.bytes + entryA + entryB + dataA + dataB;
}

QByteArray EmfBytes(QSize size) {
    Writer records;
    records.U32(43).U32(24).I32(2).I32(2).I32(size.width() - 3).I32(size.height() - 3);  // rectangle
    records.U32(14).U32(20).U32(0).U32(16).U32(20);                                      // end of file
    const quint32 headerSize = 88;
    Writer header;
    header.U32(1).U32(headerSize);
    header.I32(0).I32(0).I32(size.width() - 1).I32(size.height() - 1);  // bounds, device pixels
    header.I32(0).I32(0);                                               // frame, 0.01 mm
    header.I32(size.width() * kHundredthMillimetresPerInch / kScreenDpi - 1);
    header.I32(size.height() * kHundredthMillimetresPerInch / kScreenDpi - 1);
    header.U32(0x464D4520).U32(0x10000).U32(headerSize + records.bytes.size()).U32(3);
    header.U16(1).U16(0).U32(0).U32(0).U32(0);
    header.I32(1024).I32(768).I32(271).I32(203);  // reference device: pixels and millimetres
    return header.bytes + records.bytes;
}

QByteArray WmfBytes(QSize size, int unitsPerInch) {
    const qint16 width = static_cast<qint16>(size.width() * unitsPerInch / kScreenDpi);
    const qint16 height = static_cast<qint16>(size.height() * unitsPerInch / kScreenDpi);
    Writer placeable;
    placeable.U32(0x9AC6CDD7)
        .U16(0)
        .I16(0)
        .I16(0)
        .I16(width)
        .I16(height)
        .U16(static_cast<quint16>(unitsPerInch))
        .U32(0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i) {
        checksum ^= qFromLittleEndian<quint16>(placeable.bytes.constData() + 2 * i);
    }
    placeable.U16(checksum);
    Writer records;
    records.U32(5).U16(0x020B).I16(0).I16(0);                                 // window origin
    records.U32(5).U16(0x020C).I16(height).I16(width);                        // window extent
    records.U32(7).U16(0x041B).I16(height - 1).I16(width - 1).I16(0).I16(0);  // rectangle
    records.U32(3).U16(0);                                                    // end of file
    Writer header;
    header.U16(1).U16(9).U16(0x0300).U32(9 + records.bytes.size() / 2).U16(0).U32(7).U16(0);
    return placeable.bytes + header.bytes + records.bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}
