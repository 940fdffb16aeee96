#include <QtEndian>

#include "platform/picture_isolation.h"

namespace {

// The converter's answer: the picture's width and height, then the SVG document.
constexpr qsizetype kSizeFields = 8;

}  // namespace

std::optional<MetafileSvg> ConvertApart(MetafileConverter convert, const QByteArray& bytes,
                                        std::chrono::milliseconds timeLimit) {
    const std::optional<QByteArray> answer = RunApart(
        [&]() -> std::optional<QByteArray> {
            const std::optional<MetafileSvg> converted = convert(bytes);
            if (!converted) {
                return std::nullopt;
            }
            QByteArray sent(kSizeFields, '\0');
            qToLittleEndian<qint32>(converted->size.width(), sent.data());
            qToLittleEndian<qint32>(converted->size.height(), sent.data() + 4);
            return sent + converted->svg;
        },
        timeLimit, kSizeFields + kLargestAnswer);
    if (!answer || answer->size() < kSizeFields) {
        return std::nullopt;
    }
    const QSize size(qFromLittleEndian<qint32>(answer->constData()),
                     qFromLittleEndian<qint32>(answer->constData() + 4));
    return MetafileSvg{answer->mid(kSizeFields), size};
}
