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

// A folded character as a UTF-8 sequence of its own, one to one: ASCII as itself, other single
// bytes at U+0100, double-byte characters (lead bytes from 0x81) at U+1000. The index's words are
// byte strings, and this keeps them free of NUL bytes and prefix-free character by character.
void AppendCharacter(std::string& word, std::uint16_t c) {
    char16_t point = c;
    if (c == 0 || c >= 0x80) {
        point = static_cast<char16_t>(c < 0x100 ? 0x100 + c : 0x1000 + (c - 0x8100));
    }
    AppendUtf8(word, point);
}

using TokenSink = int (*)(void* context, int flags, const char* token, int length, int start, int end);

int Emit(const std::vector<std::uint16_t>& characters, std::size_t first, std::size_t count, void* context,
         TokenSink sink) {
    std::string word;
    for (std::size_t i = first; i < first + count; ++i) {
        AppendCharacter(word, characters[i]);
    }
    // The offsets would serve highlighting, which the index never does.
    return sink(context, 0, word.data(), static_cast<int>(word.size()), 0, 0);
}

int Tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int length, TokenSink sink) {
    const std::vector<std::uint16_t> characters =
        FoldedCharacters(std::string_view(text, static_cast<std::size_t>(length)));
    const std::size_t count = characters.size();
    if ((flags & FTS5_TOKENIZE_QUERY) != 0 && count < kWordLength) {
        // A word the query takes as the beginning of the stored ones.
        return count == 0 ? SQLITE_OK : Emit(characters, 0, count, context, sink);
    }
    int result = SQLITE_OK;
    for (std::size_t i = 0; i + kWordLength <= count && result == SQLITE_OK; ++i) {
        result = Emit(characters, i, kWordLength, context, sink);
    }
    if ((flags & FTS5_TOKENIZE_QUERY) == 0) {
        for (std::size_t tail = std::min(count, kWordLength - 1); tail > 0 && result == SQLITE_OK; --tail) {
            result = Emit(characters, count - tail, tail, context, sink);
        }
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
    std::string query = "\"";
    for (const char c : cp932) {
        query += c;
        if (c == '"') {
            query += '"';
        }
    }
    query += '"';
    return FoldedCharacters(cp932).size() < kWordLength ? query + " *" : query;
}
