#include "common/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace {

// An iconv converter, opened once: opening one costs more than converting a file name.
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

// Bytes below 0x80 are the same characters in both encodings.
bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// UTF-8 to the code page through iconv, one converter per thread; nothing when a character has no
// place in the code page or the text is no valid UTF-8.
std::optional<std::string> EncodeCp932(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    thread_local Converter converter("CP932", "UTF-8");
    if (!converter.Valid()) {
        return std::nullopt;
    }
    iconv_t cd = converter.Reset();
    std::string out;
    out.reserve(utf8.size() + 4);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char buffer[512];
    for (;;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = inLeft == 0 ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                                           : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) {
                return out;
            }
            continue;
        }
        // EILSEQ (a character the code page cannot hold) or EINVAL (a sequence cut off at the end).
        if (errno != E2BIG) {
            return std::nullopt;
        }
    }
}

// The code page's characters as iconv converts them, looked up instead of converted: iconv's
// converter costs more per character than a table, and a file list shows thousands of long names.
// Each character is one UTF-16 unit: the code page holds only characters of the Basic Multilingual
// Plane. The rows of two-byte characters are made the first time a lead byte is met.
class Cp932Table {
public:
    struct Entry {
        char16_t unit = 0;
        bool character = false;
        bool lead = false;  // a single byte iconv waits for a second byte after
    };
    using Row = std::array<Entry, 256>;

    // Never destroyed: a thread still working while the process ends may still decode a name.
    static const Cp932Table& Instance() {
        static const Cp932Table* const table = new Cp932Table;
        return *table;
    }
    bool Valid() const { return converter_.Valid(); }
    const Entry& Single(unsigned char byte) const { return single_[byte]; }
    const Entry& Pair(unsigned char lead, unsigned char trail) const {
        const Row* row = rows_[lead].load(std::memory_order_acquire);
        if (row == nullptr) {
            row = MadeRow(lead);
        }
        return (*row)[trail];
    }

private:
    Cp932Table() : converter_("UTF-16LE", "CP932") {
        for (int byte = 0; byte < 256 && Valid(); ++byte) {
            const char single = static_cast<char>(byte);
            single_[byte] = Converted(std::string_view(&single, 1));
        }
    }
    const Row* MadeRow(unsigned char lead) const {
        const std::lock_guard<std::mutex> held(lock_);
        if (const Row* made = rows_[lead].load(std::memory_order_acquire)) {
            return made;
        }
        auto* row = new Row;
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            (*row)[trail] = Converted(std::string_view(pair, 2));
        }
        rows_[lead].store(row, std::memory_order_release);
        return row;
    }
    // The whole of `bytes` as one character, or why not. Called under the lock or in the constructor.
    Entry Converted(std::string_view bytes) const {
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        unsigned char units[4];
        char* out = reinterpret_cast<char*>(units);
        std::size_t outLeft = sizeof units;
        const std::size_t rc = iconv(converter_.Reset(), &in, &inLeft, &out, &outLeft);
        Entry entry;
        if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && out - reinterpret_cast<char*>(units) == 2) {
            entry.unit = static_cast<char16_t>(units[0] | units[1] << 8);
            entry.character = true;
        } else {
            entry.lead = rc == static_cast<std::size_t>(-1) && errno == EINVAL;
        }
        return entry;
    }

    mutable Converter converter_;
    mutable std::mutex lock_;
    std::array<Entry, 256> single_;
    mutable std::array<std::atomic<Row*>, 256> rows_{};
};

}  // namespace

void AppendUtf8(std::string& out, char16_t unit) {
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | unit >> 6);
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | unit >> 12);
        out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

std::size_t Utf16FromCp932(std::string_view cp932, char16_t* out) {
    const Cp932Table& table = Cp932Table::Instance();
    if (!table.Valid()) {
        return 0;
    }
    char16_t* const begin = out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(cp932.data());
    for (std::size_t at = 0; at < cp932.size();) {
        const Cp932Table::Entry* entry = &table.Single(bytes[at]);
        std::size_t width = 1;
        if (entry->lead && at + 1 < cp932.size()) {
            entry = &table.Pair(bytes[at], bytes[at + 1]);
            width = 2;
        }
        // As iconv goes on past a byte that begins no character: replaced, and the next byte read anew.
        *out++ = entry->character ? entry->unit : u'\uFFFD';
        at += entry->character ? width : 1;
    }
    return static_cast<std::size_t>(out - begin);
}

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
    std::optional<std::string> cp932 = EncodeCp932(utf8);
    // A character the code page only approximates would come back as another one (a yen sign as a
    // backslash): refuse it, so that what is stored always shows again as typed.
    if (cp932 && Utf8FromCp932(*cp932) != UnifyJisVariants(utf8)) {
        return std::nullopt;
    }
    return cp932;
}

std::string Utf8FromCp932(std::string_view cp932) {
    if (IsAscii(cp932)) {
        return std::string(cp932);
    }
    std::u16string units(cp932.size(), u'\0');
    units.resize(Utf16FromCp932(cp932, units.data()));
    std::string utf8;
    utf8.reserve(units.size() * 3);
    for (const char16_t unit : units) {
        AppendUtf8(utf8, unit);
    }
    return utf8;
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
