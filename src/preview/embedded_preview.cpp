#include "preview/embedded_preview.h"

#include <cstdint>

namespace {

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

std::uint16_t Little16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

void PutLittle32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // the OS/2 header: three-byte colours
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBitFields = 3;

}  // namespace

std::optional<std::string> BmpFileOfBitmap(std::string_view bitmap) {
    if (bitmap.size() < kCoreHeaderSize) {
        return std::nullopt;
    }
    const std::uint32_t headerSize = Little32(bitmap, 0);
    std::uint64_t colours = 0;
    std::uint64_t colourSize = 4;
    if (headerSize == kCoreHeaderSize) {
        const std::uint16_t bits = Little16(bitmap, 10);
        colours = bits <= 8 ? std::uint64_t{1} << bits : 0;
        colourSize = 3;
    } else if (headerSize == kInfoHeaderSize || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (bitmap.size() < kInfoHeaderSize) {
            return std::nullopt;
        }
        const std::uint16_t bits = Little16(bitmap, 14);
        const std::uint32_t compression = Little32(bitmap, 16);
        const std::uint32_t used = Little32(bitmap, 32);
        colours = used != 0 ? used : (bits <= 8 ? std::uint64_t{1} << bits : 0);
        if (headerSize == kInfoHeaderSize && compression == kBitFields) {
            colours += 3;  // the three colour masks follow the short header
        }
    } else {
        return std::nullopt;
    }
    const std::uint64_t pixelsAt = kFileHeaderSize + headerSize + colours * colourSize;
    const std::uint64_t fileSize = kFileHeaderSize + bitmap.size();
    if (pixelsAt > fileSize) {
        return std::nullopt;
    }
    std::string file = "BM";
    file.reserve(fileSize);
    PutLittle32(file, static_cast<std::uint32_t>(fileSize));
    PutLittle32(file, 0);
    PutLittle32(file, static_cast<std::uint32_t>(pixelsAt));
    file.append(bitmap);
    return file;
}

std::optional<EmbeddedPreview> PreviewOfPictureBytes(std::string bytes) {
    static constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.starts_with(kPngSignature)) {
        return EmbeddedPreview{EmbeddedPreview::Kind::Png, std::move(bytes)};
    }
    // A whole .bmp file gets its file header made anew: the one it came with is not trusted.
    const std::string_view bitmap = bytes.starts_with("BM") && bytes.size() >= kFileHeaderSize
                                        ? std::string_view(bytes).substr(kFileHeaderSize)
                                        : bytes;
    std::optional<std::string> file = BmpFileOfBitmap(bitmap);
    if (!file) {
        return std::nullopt;
    }
    return EmbeddedPreview{EmbeddedPreview::Kind::Bmp, std::move(*file)};
}
