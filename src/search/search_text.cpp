#include "search/search_text.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/sql_literal.h"

namespace {

// Full-width forms in the code page: digits 0x824F-0x8258, capitals 0x8260-0x8279, small letters
// 0x8281-0x829A. Every one starts with this byte.
constexpr char kFullWidthLead = static_cast<char>(0x82);

bool IsAsciiLetterOrDigit(std::uint16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::uint16_t FoldCharacter(std::uint16_t c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<std::uint16_t>(c - 'a' + 'A');
    }
    if (c >= 0x824F && c <= 0x8258) {
        return static_cast<std::uint16_t>(c - 0x824F + '0');
    }
    if (c >= 0x8260 && c <= 0x8279) {
        return static_cast<std::uint16_t>(c - 0x8260 + 'A');
    }
    if (c >= 0x8281 && c <= 0x829A) {
        return static_cast<std::uint16_t>(c - 0x8281 + 'A');
    }
    return c;
}

}  // namespace

std::vector<std::uint16_t> FoldedCharacters(std::string_view cp932) {
    std::vector<std::uint16_t> characters;
    characters.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        std::uint16_t c = static_cast<unsigned char>(cp932[i]);
        if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < cp932.size()) {
            c = static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(cp932[++i]));
        }
        characters.push_back(FoldCharacter(c));
    }
    return characters;
}

SearchNeedle::SearchNeedle(std::string_view cp932) : folded_(FoldedCharacters(cp932)) {
    for (const std::uint16_t c : folded_) {
        hasLetterOrDigit_ = hasLetterOrDigit_ || IsAsciiLetterOrDigit(c);
        if (c > 0xFF) {
            serverText_ += static_cast<char>(c >> 8);
        }
        serverText_ += static_cast<char>(c & 0xFF);
    }
}

bool SearchNeedle::FoundIn(std::string_view cp932) const {
    if (folded_.empty()) {
        return false;
    }
    const std::vector<std::uint16_t> haystack = FoldedCharacters(cp932);
    return std::search(haystack.begin(), haystack.end(), folded_.begin(), folded_.end()) != haystack.end();
}

std::string SearchNeedle::ServerCondition(const std::vector<std::string>& columns) const {
    // CONTAINING has no wildcards and folds the letters a-z on both sides, byte by byte: whatever it
    // does to the second bytes of double-byte characters, it does alike to both.
    const std::string text = SqlText(serverText_);
    const std::string fullWidth = SqlText(std::string(1, kFullWidthLead));
    std::string condition;
    for (const std::string& column : columns) {
        condition += (condition.empty() ? "" : " OR ") + column + " CONTAINING " + text;
        if (hasLetterOrDigit_) {
            // A full-width character may stand for one of the letters or digits.
            condition += " OR " + column + " CONTAINING " + fullWidth;
        }
    }
    return "(" + condition + ")";
}
