#include "filelist/file_row_compare.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "common/number.h"

namespace {

unsigned char FoldAToZ(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte;
}

int CompareText(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int difference = FoldAToZ(a[i]) - FoldAToZ(b[i]);
        if (difference != 0) {
            return difference;
        }
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

int Sign(std::int64_t a, std::int64_t b) {
    return (a > b) - (a < b);
}

// Sizes of 2 GiB and more are shown in full, so they are read beyond the 32-bit range.
std::int64_t SizeValue(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

}  // namespace

int ListView1Compare(const FileRowTexts& item1, const FileRowTexts& item2, int sortColumn) {
    if (sortColumn < 0 || sortColumn >= kColumnCount) {
        return 0;
    }
    const std::string& text1 = *ColumnTexts(item1)[sortColumn];
    const std::string& text2 = *ColumnTexts(item2)[sortColumn];
    switch (sortColumn) {
        case kColumnSize:
            return Sign(SizeValue(text1), SizeValue(text2));
        case kColumnNumber:
            return Sign(ParseIntOrZero(text1), ParseIntOrZero(text2));
        default:
            return CompareText(text1, text2);
    }
}
