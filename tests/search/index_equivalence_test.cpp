#include <random>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "index_fixture.h"
#include "search/index_words.h"
#include "search/search_text.h"
#include "storage/schema.h"
#include "support/full_length_names.h"

namespace {

using Hit = std::tuple<SearchHit::Kind, int, std::string, int, std::string, std::string>;

std::vector<Hit> Hits(const SearchOutcome& outcome) {
    std::vector<Hit> hits;
    for (const SearchHit& hit : outcome.hits) {
        hits.emplace_back(hit.kind, hit.groupNo, hit.groupName, hit.fileNo, hit.fileName, hit.folder);
    }
    return hits;
}

// Texts of real shape drawn at random: Japanese with the characters whose second byte is a backslash
// (表, ソ, 能) or a letter's code (ア), full-width letters and digits, half-width kana, letters in
// either case, blanks, quotes and wildcards, up to the columns' lengths.
class RandomTexts {
public:
    std::string Text(std::size_t maxBytes) {
        std::string text = pieces_[Pick(pieces_.size())];
        const std::size_t length = std::uniform_int_distribution<std::size_t>(text.size(), maxBytes)(random_);
        while (true) {
            const std::string& piece = pieces_[Pick(pieces_.size())];
            if (text.size() + piece.size() > length) {
                return text;
            }
            text += piece;
        }
    }
    // A stretch of `text`'s characters, its letters and digits in another case or width at times.
    std::string Part(const std::string& text) {
        std::vector<std::string> characters;
        for (std::size_t i = 0; i < text.size();
             i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
            characters.push_back(text.substr(i, IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1));
        }
        const std::size_t first = Pick(characters.size());
        const std::size_t count = std::min(characters.size() - first, 1 + Pick(5));
        std::string part;
        for (std::size_t i = first; i < first + count; ++i) {
            const char c = characters[i][0];
            const bool letter = characters[i].size() == 1 && std::isalnum(static_cast<unsigned char>(c));
            part += letter && Pick(2) == 0 ? Cp932(FullWidth(c)) : characters[i];
        }
        return part;
    }
    std::size_t Pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

private:
    static std::string FullWidth(char c) {
        const char32_t wide = std::isdigit(static_cast<unsigned char>(c))   ? U'０' + (c - '0')
                              : std::isupper(static_cast<unsigned char>(c)) ? U'Ａ' + (c - 'A')
                                                                            : U'ａ' + (c - 'a');
        return QString::fromUcs4(&wide, 1).toStdString();
    }

    std::mt19937 random_{20261208};
    std::vector<std::string> pieces_{Cp932("図面"),
                                     Cp932("表"),
                                     Cp932("ソ"),
                                     Cp932("能"),
                                     Cp932("ア"),
                                     Cp932("設計"),
                                     Cp932("平面図"),
                                     Cp932("ＤＷＧ"),
                                     Cp932("ａｂ１"),
                                     Cp932("ｱｲｳ"),
                                     Cp932("①"),
                                     "A",
                                     "b",
                                     "Dwg",
                                     "x1",
                                     " ",
                                     "'",
                                     "\"",
                                     "%",
                                     "_",
                                     "."};
};

TEST_F(IndexTest, findsWhatTheSearchOfTheDatabaseFindsNoMoreAndNoFewer) {
    RandomTexts texts;
    std::vector<std::string> stored;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<int> groups;
    for (int group = 1; group <= 12; ++group) {
        std::array<std::string, 11> values{SqlNumber(group),
                                           SqlText(texts.Text(32)),
                                           SqlText(texts.Text(80)),
                                           SqlText(texts.Text(80)),
                                           SqlText(texts.Text(16)),
                                           SqlText(texts.Text(80)),
                                           "NULL",
                                           SqlText(texts.Text(80)),
                                           "NULL",
                                           "0",
                                           "0"};
        ASSERT_TRUE(other.InsertRow(kGroupTable, GroupColumnNames(), values));
        groups.push_back(group);
    }
    CreateFileTables(groups);
    for (const int group : groups) {
        for (int file = 1; file <= 15; ++file) {
            const bool full = texts.Pick(4) == 0;
            const std::string name = full ? FullLengthName(texts.Text(40)) : texts.Text(120);
            const std::string folder = full ? FullLengthFolder(texts.Text(40)) : "/" + texts.Text(60) + "/";
            AddFile(group, file * 3, name, folder);
            files.emplace_back(folder, name);
            stored.push_back(name);
            stored.push_back(folder);
        }
    }
    MakeIndex();
    for (int round = 0; round < 60; ++round) {
        const std::string needle =
            round % 6 == 5 ? texts.Text(6) : texts.Part(stored[texts.Pick(stored.size())]);
        const std::vector<SearchNeedle> folders{
            SearchNeedle(texts.Part(files[texts.Pick(files.size())].first))};
        const std::vector<SearchNeedle> storedFolders =
            round % 4 == 0 ? folders : std::vector<SearchNeedle>{};
        const SearchOutcome indexed = FindIndexed(SearchNeedle(needle), storedFolders);
        ASSERT_TRUE(indexed.indexed) << Utf8FromCp932(needle) << " " << IndexQuery(needle);
        EXPECT_EQ(Hits(indexed), Hits(FindText(other, SearchNeedle(needle), storedFolders)))
            << Utf8FromCp932(needle);
    }
    for (int round = 0; round < 10; ++round) {
        const auto& [folder, name] = files[texts.Pick(files.size())];
        const SearchOutcome indexed = FindFileIndexed(folder, name);
        ASSERT_TRUE(indexed.indexed);
        EXPECT_EQ(Hits(indexed), Hits(FindFile(other, folder, name)));
    }
}

}  // namespace
