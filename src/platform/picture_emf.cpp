#include <emf2svg.h>

#include <QtEndian>
#include <cstdlib>
#include <memory>

#include "platform/picture_metafile.h"

namespace {

constexpr qsizetype kHeaderSize = 88;
constexpr quint32 kHeaderRecord = 1;
constexpr quint32 kSignature = 0x464D4520;  // " EMF"
constexpr quint32 kEndRecord = 14;
constexpr qint64 kRecordHead = 8;  // type and length
// Header fields: the description's length in UTF-16 units and its offset, and (in headers of at
// least kPixelFormatEnd bytes) the pixel format's length and offset.
constexpr qsizetype kDescriptionLengthAt = 60;
constexpr qsizetype kDescriptionOffsetAt = 64;
constexpr qsizetype kPixelFormatLengthAt = 88;
constexpr qsizetype kPixelFormatOffsetAt = 92;
constexpr qint64 kPixelFormatEnd = 100;
constexpr qsizetype kTextEndPadding = 8;  // a zero UTF-16 unit wherever a text started
constexpr int kHundredthMillimetresPerInch = 2540;
constexpr int kScreenDpi = 96;

qint32 Int32At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

// Hundredths of a millimetre to screen pixels, rounded as the Windows picture classes do.
int Pixels(qint64 hundredths) {
    return static_cast<int>((hundredths * kScreenDpi + kHundredthMillimetresPerInch / 2) /
                            kHundredthMillimetresPerInch);
}

// The picture's size from its header frame (hundredths of a millimetre), or from its device bounds
// when the frame is empty; an empty size when the bytes do not start with a metafile header.
QSize HeaderSize(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize || static_cast<quint32>(Int32At(bytes, 0)) != kHeaderRecord ||
        static_cast<quint32>(Int32At(bytes, 40)) != kSignature) {
        return QSize();
    }
    const QSize frame(Pixels(qint64(Int32At(bytes, 32)) - Int32At(bytes, 24)),
                      Pixels(qint64(Int32At(bytes, 36)) - Int32At(bytes, 28)));
    if (!frame.isEmpty()) {
        return frame;
    }
    const qint64 width = qint64(Int32At(bytes, 16)) - Int32At(bytes, 8) + 1;
    const qint64 height = qint64(Int32At(bytes, 20)) - Int32At(bytes, 12) + 1;
    return width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX
               ? QSize(static_cast<int>(width), static_cast<int>(height))
               : QSize();
}

// The converter believes every length the file states. A file whose header places its texts
// outside the header, or whose records do not end inside the file with an end-of-file record, would
// have it read past the end of the buffer; such a file is damaged and is refused here.
bool LengthsFit(const QByteArray& bytes) {
    const qint64 size = bytes.size();
    const qint64 headerSize = static_cast<quint32>(Int32At(bytes, 4));
    if (headerSize < kHeaderSize || headerSize > size) {
        return false;
    }
    const auto insideHeader = [&](qsizetype lengthAt, qsizetype offsetAt, qint64 unit) {
        const qint64 length = static_cast<quint32>(Int32At(bytes, lengthAt)) * unit;
        const qint64 offset = static_cast<quint32>(Int32At(bytes, offsetAt));
        return length == 0 || offset + length <= headerSize;
    };
    if (!insideHeader(kDescriptionLengthAt, kDescriptionOffsetAt, 2) ||
        (headerSize >= kPixelFormatEnd && !insideHeader(kPixelFormatLengthAt, kPixelFormatOffsetAt, 1))) {
        return false;
    }
    for (qint64 offset = 0; offset + kRecordHead <= size;) {
        const qint64 length = static_cast<quint32>(Int32At(bytes, offset + 4));
        if (length < kRecordHead || length % 4 != 0 || length > size - offset) {
            return false;
        }
        if (static_cast<quint32>(Int32At(bytes, offset)) == kEndRecord) {
            return true;
        }
        offset += length;
    }
    return false;
}

}  // namespace

std::optional<MetafileSvg> EmfToSvg(const QByteArray& bytes) {
    const QSize size = HeaderSize(bytes);
    if (size.isEmpty() || !LengthsFit(bytes)) {
        return std::nullopt;
    }
    // The converter takes a writable buffer. It reads the header's texts up to their terminating
    // zero wherever that lies, and the second text as far again as the description's length; as
    // many zero bytes after the file's end as the file is long keep both reads inside the buffer.
    QByteArray input = bytes + QByteArray(bytes.size() + kTextEndPadding, '\0');
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("svg");
    options.svgDelimiter = true;
    options.emfplus = true;
    char* output = nullptr;
    size_t length = 0;
    const int converted =
        emf2svg(input.data(), static_cast<size_t>(bytes.size()), &output, &length, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(output, &std::free);
    if (!converted || output == nullptr || length == 0) {
        return std::nullopt;
    }
    return MetafileSvg{QByteArray(output, static_cast<qsizetype>(length)), size};
}
