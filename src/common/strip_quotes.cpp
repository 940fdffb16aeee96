#include "common/strip_quotes.h"

#include "common/codepage.h"

std::string StripQuotes(std::string_view cp932) {
    std::string stripped;
    stripped.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if (IsLeadByte(byte)) {
            if (i + 1 < cp932.size()) {
                stripped += cp932.substr(i, 2);
            }
            ++i;
        } else if (byte >= 32 && byte != '\'' && byte != '"') {
            stripped += cp932[i];
        }
    }
    return stripped;
}
