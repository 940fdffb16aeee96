#include "search/index_words.h"

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <vector>

#include "common/codepage.h"
#include "search/search_text.h"

namespace {

constexpr const char* kTokenizerName = "qarto";
constexpr std::size_t kWordLength = 3;

// The folded characters of a text, each as a UTF-8 sequence of its own, one to one: ASCII as itself,
// other single bytes at U+0100, double-byte characters (lead bytes from 0x81) at U+1000. The index's
// words are byte strings, and this keeps them free of NUL bytes and prefix-free character by
// character. A word is a run of consecutive characters: a slice of `bytes`.
struct IndexCharacters {
    std::string bytes;
    std::vector<std::size_t> starts;  // of each character in `bytes`, and its end last

    explicit IndexCharacters(std::string_view cp932) {
        const std::vector<std::uint16_t> folded = FoldedCharacters(cp932);
        bytes.reserve(folded.size() * 3);
        starts.reserve(folded.size() + 1);
        for (const std::uint16_t c : folded) {
            starts.push_back(bytes.size());
            char16_t point = c;
            if (c == 0 || c >= 0x80) {
                point = static_cast<char16_t>(c < 0x100 ? 0x100 + c : 0x1000 + (c - 0x8100));
            }
            AppendUtf8(bytes, point);
        }
        starts.push_back(bytes.size());
    }
    std::size_t Count() const { return starts.size() - 1; }
};

using TokenSink = int (*)(void* context, int flags, const char* token, int length, int start, int end);

int Tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int length, TokenSink sink) {
    const IndexCharacters characters(std::string_view(text, static_cast<std::size_t>(length)));
    const std::size_t count = characters.Count();
    std::vector<std::string_view> words;
    const auto word = [&](std::size_t first, std::size_t size) {
        words.push_back(std::string_view(characters.bytes)
                            .substr(characters.starts[first],
                                    characters.starts[first + size] - characters.starts[first]));
    };
    if ((flags & FTS5_TOKENIZE_QUERY) != 0 && count < kWordLength) {
        // A word the query takes as the beginning of the stored ones.
        if (count > 0) {
            word(0, count);
        }
    } else {
        for (std::size_t i = 0; i + kWordLength <= count; ++i) {
            word(i, kWordLength);
        }
    }
    if ((flags & FTS5_TOKENIZE_QUERY) == 0) {
        for (std::size_t tail = std::min(count, kWordLength - 1); tail > 0; --tail) {
            word(count - tail, tail);
        }
    }
    int result = SQLITE_OK;
    for (auto next = words.begin(); next != words.end() && result == SQLITE_OK; ++next) {
        // The offsets would serve highlighting, which the index never does.
        result = sink(context, 0, next->data(), static_cast<int>(next->size()), 0, 0);
    }
    return result;
}

int Create(void*, const char**, int, Fts5Tokenizer** made) {
    // The tokenizer keeps no state: any pointer that is not null stands for it.
    static int instance = 0;
    *made = reinterpret_cast<Fts5Tokenizer*>(&instance);
    return SQLITE_OK;
}

void Delete(Fts5Tokenizer*) {}

fts5_api* Fts5Of(sqlite3* connection) {
    fts5_api* api = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
    return api;
}

}  // namespace

bool AddIndexTokenizer(sqlite3* connection) {
    static fts5_tokenizer tokenizer{Create, Delete, Tokenize};
    fts5_api* const api = Fts5Of(connection);
    return api != nullptr &&
           api->xCreateTokenizer(api, kTokenizerName, nullptr, &tokenizer, nullptr) == SQLITE_OK;
}

std::string IndexQuery(std::string_view cp932) {
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < cp932.size();) {
        const std::size_t width =
            IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
        characters.push_back(cp932.substr(i, width));
        i += width;
    }
    const auto quoted = [&](std::size_t first, std::size_t count) {
        std::string word = "\"";
        for (std::size_t i = first; i < first + count; ++i) {
            for (const char c : characters[i]) {
                word += c;
                if (c == '"') {
                    word += '"';
                }
            }
        }
        return word + '"';
    };
    if (characters.size() < kWordLength) {
        return quoted(0, characters.size()) + " *";
    }
    // Words that cover the text: the index keeps no positions, and the search decides.
    std::string query;
    for (std::size_t first = 0; first < characters.size(); first += kWordLength) {
        const std::size_t start = std::min(first, characters.size() - kWordLength);
        query += (query.empty() ? "" : " AND ") + quoted(start, kWordLength);
    }
    return query;
}
