#include "preview/png_text.h"

#include <QtEndian>

namespace {

constexpr qsizetype kSignature = 8;
constexpr qsizetype kHeaderEnd = kSignature + 4 + 4 + 13 + 4;  // length, type, IHDR's fields, CRC

// The CRC-32 of the PNG standard (ISO 3309), over a chunk's type and data.
quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

QByteArray Chunk(const QByteArray& typeAndData) {
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(typeAndData.size() - 4), chunk.data());
    chunk += typeAndData;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(Crc32(typeAndData), crc.data());
    return chunk + crc;
}

}  // namespace

QByteArray WithTextChunks(const QByteArray& png, const QList<std::pair<QByteArray, QByteArray>>& keys) {
    if (png.size() < kHeaderEnd || png.mid(kSignature + 4, 4) != "IHDR") {
        return png;
    }
    QByteArray texts;
    for (const auto& [key, text] : keys) {
        texts += Chunk("tEXt" + key + '\0' + text);
    }
    return png.left(kHeaderEnd) + texts + png.mid(kHeaderEnd);
}
