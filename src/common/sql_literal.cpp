#include "common/sql_literal.h"

std::string SqlText(std::string_view cp932) {
    if (cp932.empty()) {
        return "NULL";
    }
    std::string literal;
    literal.reserve(cp932.size() + 2);
    literal += '\'';
    for (char c : cp932) {
        // A quote byte is never the second byte of a double-byte character (those start at 0x40).
        if (c == '\'') {
            literal += '\'';
        }
        literal += c;
    }
    literal += '\'';
    return literal;
}

std::string SqlNumber(std::int64_t value) { return std::to_string(value); }
