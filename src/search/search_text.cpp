#include "search/search_text.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/sql_literal.h"

namespace {

// Full-width forms in the code page: digits 0x824F-0x8258, capitals 0x8260-0x8279, small letters
// 0x8281-0x829A. Every one starts with this byte.
constexpr unsigned char kFullWidthLead = 0x82;
constexpr char kLikeEscape = '!';

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

char UpperByte(unsigned char byte) {
    return static_cast<char>((byte >= 'a' && byte <= 'z') ? byte - 'a' + 'A' : byte);
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
    // The server's UPPER changes the bytes a-z wherever they stand, second bytes of double-byte
    // characters included, so the pattern is the folded text with every such byte changed alike.
    std::string bytes;
    for (const std::uint16_t c : folded_) {
        hasLetterOrDigit_ = hasLetterOrDigit_ || IsAsciiLetterOrDigit(c);
        if (c > 0xFF) {
            bytes += static_cast<char>(c >> 8);
        }
        bytes += static_cast<char>(c & 0xFF);
    }
    for (const char byte : bytes) {
        const char upper = hasLetterOrDigit_ ? UpperByte(static_cast<unsigned char>(byte)) : byte;
        if (upper == '%' || upper == '_' || upper == kLikeEscape) {
            likePattern_ += kLikeEscape;
        }
        likePattern_ += upper;
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
    const std::string pattern = SqlText("%" + likePattern_ + "%") + " ESCAPE '" + kLikeEscape + "'";
    const std::string fullWidth = SqlText(std::string("%") + static_cast<char>(kFullWidthLead) + "%");
    std::string condition;
    for (const std::string& column : columns) {
        if (!condition.empty()) {
            condition += " OR ";
        }
        if (!hasLetterOrDigit_) {
            // Nothing to fold: the stored bytes hold the text exactly.
            condition += column + " LIKE " + pattern;
            continue;
        }
        // Letters as typed in any case, or a full-width character that may stand for one.
        condition += "UPPER(" + column + ") LIKE " + pattern + " OR " + column + " LIKE " + fullWidth;
    }
    return "(" + condition + ")";
}
