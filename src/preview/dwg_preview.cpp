#include "preview/dwg_preview.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::uint64_t kImageSeekerAt = 0x0D;
constexpr std::string_view kImageSentinel("\x1F\x25\x6D\x07\xD4\x36\x28\x28\x9D\x57\xCA\x3F\x9D\x44\x10\x2B",
                                          16);
constexpr std::size_t kEntrySize = 9;  // type, start, size
constexpr int kMostEntries = 16;

enum EntryType : unsigned char { kHeaderData = 1, kBitmap = 2, kMetafile = 3, kPng = 6 };

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// "AC1012" (release 13) and every later release keep the image seeker at the same place.
bool IsDwgWithImageSeeker(std::string_view head) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (head.size() < 6 || !head.starts_with("AC10") || !digit(head[4]) || !digit(head[5])) {
        return false;
    }
    return (head[4] - '0') * 10 + (head[5] - '0') >= 12;
}

struct Entry {
    std::uint32_t start = 0;
    std::uint32_t size = 0;
};

}  // namespace

std::optional<EmbeddedPreview> DwgPreview(const ByteSource& file) {
    if (!file.read) {
        return std::nullopt;
    }
    const std::string head = file.read(0, kImageSeekerAt + 4);
    if (head.size() < kImageSeekerAt + 4 || !IsDwgWithImageSeeker(head)) {
        return std::nullopt;
    }
    const std::uint64_t imageData = Little32(head, kImageSeekerAt);
    const std::string list = file.read(imageData, kImageSentinel.size() + 5);
    if (list.size() < kImageSentinel.size() + 5 || !list.starts_with(kImageSentinel)) {
        return std::nullopt;
    }
    const int count = static_cast<unsigned char>(list.back());
    if (count > kMostEntries) {
        return std::nullopt;
    }
    const std::string entries = file.read(imageData + list.size(), count * kEntrySize);
    if (entries.size() != count * kEntrySize) {
        return std::nullopt;
    }
    std::array<std::optional<Entry>, 3> found;  // PNG, bitmap, metafile: the order they are taken in
    for (int i = 0; i < count; ++i) {
        const std::size_t at = i * kEntrySize;
        const Entry entry{Little32(entries, at + 1), Little32(entries, at + 5)};
        switch (static_cast<unsigned char>(entries[at])) {
            case kPng:
                found[0] = entry;
                break;
            case kBitmap:
                found[1] = entry;
                break;
            case kMetafile:
                found[2] = entry;
                break;
            default:  // the header data and whatever later releases add
                break;
        }
    }
    for (std::size_t kind = 0; kind < found.size(); ++kind) {
        const std::optional<Entry>& entry = found[kind];
        if (!entry || entry->size == 0 || entry->size > kLargestPreview ||
            std::uint64_t{entry->start} + entry->size > file.size) {
            continue;
        }
        std::string bytes = file.read(entry->start, entry->size);
        if (bytes.size() != entry->size) {
            continue;
        }
        if (kind == 2) {
            return EmbeddedPreview{EmbeddedPreview::Kind::Wmf, std::move(bytes)};
        }
        std::optional<EmbeddedPreview> picture = PreviewOfPictureBytes(std::move(bytes));
        if (picture && (picture->kind == EmbeddedPreview::Kind::Png) == (kind == 0)) {
            return picture;
        }
    }
    return std::nullopt;
}
