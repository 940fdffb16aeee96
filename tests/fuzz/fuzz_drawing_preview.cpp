#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "preview/dwg_preview.h"
#include "preview/dxf_preview.h"

// DRAWING_FORMAT names the reader this program feeds (dwg or dxf).

// Any file gives a preview or nothing; a preview is never larger than a drawing's may be, and it is
// a whole picture file of its kind.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ByteSource file = BytesSource(bytes);
    const std::optional<EmbeddedPreview> preview =
        std::string_view(DRAWING_FORMAT) == "dwg" ? DwgPreview(file) : DxfPreview(file);
    if (!preview) {
        return 0;
    }
    const std::string& picture = preview->bytes;
    if (picture.empty() || picture.size() > kLargestPreview + 14) {
        std::abort();
    }
    if (preview->kind == EmbeddedPreview::Kind::Png && !picture.starts_with("\x89PNG\r\n\x1a\n")) {
        std::abort();
    }
    if (preview->kind == EmbeddedPreview::Kind::Bmp) {
        // The pixels start within the file the file header describes.
        const auto field = [&](std::size_t at) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(picture[at])) |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(picture[at + 1])) << 8 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(picture[at + 2])) << 16 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(picture[at + 3])) << 24;
        };
        if (picture.size() < 14 || !picture.starts_with("BM") ||
            (picture.size() >= 18 && field(2) == picture.size() && field(10) > picture.size())) {
            std::abort();
        }
    }
    return 0;
}
