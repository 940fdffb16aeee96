#include "preview/dxf_preview.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/trimmed.h"

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::uint64_t kFirstPiece = std::uint64_t{64} << 10;
// Hexadecimal doubles the picture, and each line of at most 254 digits adds its group code and line
// ends: the largest section a preview can fill, with room to spare.
constexpr std::uint64_t kLargestSection = 3 * std::uint64_t{kLargestPreview};

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool AppendHex(std::string_view digits, std::string& bytes) {
    if (digits.size() % 2 != 0 || bytes.size() + digits.size() / 2 > kLargestPreview) {
        return false;
    }
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]);
        const int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes.push_back(static_cast<char>(high << 4 | low));
    }
    return true;
}

// The picture of a THUMBNAILIMAGE section whose groups begin at `lines[first]`.
std::optional<EmbeddedPreview> SectionPicture(const std::vector<std::string_view>& lines, std::size_t first) {
    std::string bytes;
    long long declared = -1;
    for (std::size_t i = first; i + 1 < lines.size(); i += 2) {
        const std::string_view code = Trimmed(lines[i], kBlanks);
        const std::string_view value = Trimmed(lines[i + 1], kBlanks);
        if (code == "0") {
            break;
        }
        if (code == "90") {
            declared = 0;
            for (const char c : value) {
                if (c < '0' || c > '9' || declared > static_cast<long long>(kLargestPreview)) {
                    return std::nullopt;
                }
                declared = declared * 10 + (c - '0');
            }
        } else if (code == "310" && !AppendHex(value, bytes)) {
            return std::nullopt;
        }
    }
    if (bytes.empty() || declared != static_cast<long long>(bytes.size())) {
        return std::nullopt;
    }
    return PreviewOfPictureBytes(std::move(bytes));
}

enum class LastSection { NotInView, Thumbnail, Other };

// A thumbnail section ends its data with a group 310 just before its ENDSEC; a file whose last
// section ends otherwise has none, and is not read further.
bool EndsInPictureData(const std::vector<std::string_view>& lines) {
    for (std::size_t i = lines.size(); i-- > 3;) {
        if (Trimmed(lines[i], kBlanks) == "ENDSEC" && Trimmed(lines[i - 1], kBlanks) == "0") {
            return Trimmed(lines[i - 3], kBlanks) == "310";
        }
    }
    return false;
}

// Finds the start of the last section in a piece of the file's end: a group 0 "SECTION" followed by
// a group 2 naming it. The piece's first line may be cut unless the piece starts the file.
LastSection FindLastSection(const std::vector<std::string_view>& lines, bool wholeFile, std::size_t& groups) {
    const std::size_t firstWhole = wholeFile ? 0 : 1;
    for (std::size_t i = lines.size(); i-- > firstWhole + 1;) {
        if (Trimmed(lines[i], kBlanks) != "SECTION" || Trimmed(lines[i - 1], kBlanks) != "0" ||
            i + 2 >= lines.size() || Trimmed(lines[i + 1], kBlanks) != "2") {
            continue;
        }
        groups = i + 3;
        return Trimmed(lines[i + 2], kBlanks) == "THUMBNAILIMAGE" ? LastSection::Thumbnail
                                                                  : LastSection::Other;
    }
    return LastSection::NotInView;
}

}  // namespace

std::optional<EmbeddedPreview> DxfPreview(const ByteSource& file) {
    if (!file.read || file.size == 0 || file.read(0, 18) == "AutoCAD Binary DXF") {
        return std::nullopt;
    }
    for (std::uint64_t piece = kFirstPiece;; piece *= 2) {
        const std::uint64_t length = std::min({piece, file.size, kLargestSection});
        const std::string tail = file.read(file.size - length, static_cast<std::size_t>(length));
        if (tail.size() != length) {
            return std::nullopt;
        }
        const std::vector<std::string_view> lines = Lines(tail);
        if (piece == kFirstPiece && !EndsInPictureData(lines)) {
            return std::nullopt;
        }
        std::size_t groups = 0;
        switch (FindLastSection(lines, length == file.size, groups)) {
            case LastSection::Thumbnail:
                return SectionPicture(lines, groups);
            case LastSection::Other:
                return std::nullopt;
            case LastSection::NotInView:
                break;
        }
        if (length == file.size || length == kLargestSection) {
            return std::nullopt;
        }
    }
}
