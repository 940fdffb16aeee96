#include "common/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

enum class Direction { ToCp932, FromCp932 };

// One converter per direction and thread, opened on first use: opening one costs more than
// converting a file name.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Back to the initial state, whatever the previous conversion left.
    iconv_t Reset() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

private:
    iconv_t cd_;
};

Converter& ConverterFor(Direction direction) {
    thread_local Converter toCp932("CP932", "UTF-8");
    thread_local Converter fromCp932("UTF-8", "CP932");
    return direction == Direction::ToCp932 ? toCp932 : fromCp932;
}

// Bytes below 0x80 are the same characters in both encodings.
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One conversion through iconv. With stopOnInvalid false, an unconvertible input byte is replaced by
// `replacement` and skipped.
std::optional<std::string> Convert(Direction direction, std::string_view input, bool stopOnInvalid,
                                   std::string_view replacement) {
    if (IsAscii(input)) {
        return std::string(input);
    }
    Converter& converter = ConverterFor(direction);
    if (!converter.Valid()) {
        return std::nullopt;
    }
    iconv_t cd = converter.Reset();
    std::string out;
    out.reserve(input.size() * 2 + 4);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[512];
    std::optional<std::string> result;
    for (;;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = inLeft == 0 ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                                           : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) {
                result = std::move(out);
                break;
            }
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ (a byte sequence or character the other side cannot hold) or EINVAL (a sequence cut
        // off at the end of the text).
        if (stopOnInvalid) {
            break;
        }
        out.append(replacement);
        ++in;
        --inLeft;
    }
    return result;
}

}  // namespace

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string UnifyJisVariants(std::string_view utf8) {
    // Input methods outside Windows give the JIS forms of these characters; the code page holds
    // them under their Windows forms, which is how they read back.
    static constexpr std::pair<std::string_view, std::string_view> kVariants[] = {
        {"\u301C", "\uFF5E"}, {"\u2016", "\u2225"}, {"\u2212", "\uFF0D"}, {"\u00A2", "\uFFE0"},
        {"\u00A3", "\uFFE1"}, {"\u00AC", "\uFFE2"}, {"\u2014", "\u2015"},
    };
    std::string unified(utf8);
    for (const auto& [jis, windows] : kVariants) {
        for (std::size_t at = unified.find(jis); at != std::string::npos; at = unified.find(jis, at)) {
            unified.replace(at, jis.size(), windows);
            at += windows.size();
        }
    }
    return unified;
}

std::optional<std::string> Cp932FromUtf8(std::string_view utf8) {
    std::optional<std::string> cp932 = Convert(Direction::ToCp932, utf8, true, {});
    // A character the code page only approximates would come back as another one (a yen sign as a
    // backslash): refuse it, so that what is stored always shows again as typed.
    if (cp932 && Utf8FromCp932(*cp932) != UnifyJisVariants(utf8)) {
        return std::nullopt;
    }
    return cp932;
}

std::string Utf8FromCp932(std::string_view cp932) {
    return Convert(Direction::FromCp932, cp932, false, "\xEF\xBF\xBD").value_or(std::string());
}

std::string Cp932(std::string_view utf8) {
    std::optional<std::string> converted = Cp932FromUtf8(utf8);
    if (!converted) {
        std::abort();  // a program text that the code page cannot hold is a programming error
    }
    return *converted;
}

std::string CutToBytes(std::string_view cp932, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < cp932.size()) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(cp932[end])) ? 2 : 1;
        if (end + width > maxBytes) {
            break;
        }
        end += width;
    }
    return std::string(cp932.substr(0, std::min(end, cp932.size())));
}
