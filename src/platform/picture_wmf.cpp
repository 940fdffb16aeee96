#include <QtEndian>

#include "platform/picture_metafile.h"

// After Qt's headers: the library's headers define short macro names that Qt's would trip over.
extern "C" {
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

namespace {

constexpr double kScreenDpi = 96;
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qint64 kPlaceableSize = 22;  // the optional header before the metafile's own
constexpr qint64 kHeaderWords = 9;
constexpr qsizetype kHeaderWordsAt = 2;
constexpr qsizetype kLongestRecordAt = 12;  // in 16-bit words, as every length in the file
constexpr qint64 kRecordHeadWords = 3;      // length and function
constexpr quint16 kEndFunction = 0;

quint32 U32At(const QByteArray& bytes, qint64 offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 U16At(const QByteArray& bytes, qint64 offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// The library allocates a buffer as long as the header's longest record before reading any, and
// believes every record's own length. A file whose lengths reach past its end, or whose records do
// not end with an end-of-file record inside it, is damaged and is refused here.
bool LengthsFit(const QByteArray& bytes) {
    const qint64 size = bytes.size();
    const qint64 header = size >= 4 && U32At(bytes, 0) == kPlaceableKey ? kPlaceableSize : 0;
    if (header + 2 * kHeaderWords > size || U16At(bytes, header + kHeaderWordsAt) != kHeaderWords) {
        return false;
    }
    const qint64 longest = U32At(bytes, header + kLongestRecordAt);
    if (2 * longest > size - header) {
        return false;
    }
    for (qint64 offset = header + 2 * kHeaderWords; offset + 2 * kRecordHeadWords <= size;) {
        const qint64 words = U32At(bytes, offset);
        if (words < kRecordHeadWords || words > longest || 2 * words > size - offset) {
            return false;
        }
        if (U16At(bytes, offset + 4) == kEndFunction) {
            return true;
        }
        offset += 2 * words;
    }
    return false;
}

// The library's handle, destroyed with everything it allocated.
struct WmfHandle {
    wmfAPI* api = nullptr;
    ~WmfHandle() {
        if (api != nullptr) {
            wmf_api_destroy(api);
        }
    }
};

}  // namespace

std::optional<MetafileSvg> WmfToSvg(const QByteArray& bytes) {
    if (!LengthsFit(bytes)) {
        return std::nullopt;
    }
    WmfHandle handle;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&handle.api, flags, &options) != wmf_E_None) {
        return std::nullopt;
    }
    QByteArray input = bytes;  // the library reads from a writable buffer
    wmfD_Rect bounds{};
    if (wmf_mem_open(handle.api, reinterpret_cast<unsigned char*>(input.data()), input.size()) !=
            wmf_E_None ||
        wmf_scan(handle.api, 0, &bounds) != wmf_E_None) {
        return std::nullopt;
    }
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_display_size(handle.api, &width, &height, kScreenDpi, kScreenDpi) != wmf_E_None || width == 0 ||
        height == 0 || width > INT_MAX || height > INT_MAX) {
        return std::nullopt;
    }
    wmf_svg_t* device = WMF_SVG_GetData(handle.api);
    device->out = wmf_stream_create(handle.api, nullptr);
    device->bbox = bounds;
    device->width = width;
    device->height = height;
    device->flags = WMF_SVG_INLINE_IMAGES;
    const bool played = device->out != nullptr && wmf_play(handle.api, 0, &bounds) == wmf_E_None;
    char* output = nullptr;
    unsigned long length = 0;
    wmf_stream_destroy(handle.api, device->out, &output, &length);
    if (!played || output == nullptr || length == 0) {
        return std::nullopt;
    }
    // The buffer belongs to the library and goes with its handle: copy it first.
    return MetafileSvg{QByteArray(output, static_cast<qsizetype>(length)),
                       QSize(static_cast<int>(width), static_cast<int>(height))};
}
