#include "platform/picture_isolation.h"

// Windows has no fork; the converters run in this process.
std::optional<MetafileSvg> ConvertApart(MetafileConverter convert, const QByteArray& bytes,
                                        std::chrono::milliseconds) {
    return convert(bytes);
}
