#include "platform/picture_metafile.h"

// After Qt's headers: the library's headers define short macro names that Qt's would trip over.
extern "C" {
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

namespace {

constexpr double kScreenDpi = 96;

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
