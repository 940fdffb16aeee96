#include <gtest/gtest.h>

#include <iconv.h>

#include <thread>
#include <vector>

#include "common/codepage.h"

namespace {

const char* const kJapaneseTexts[] = {
    "p738－Qartoグループ管理", "PCユーザー名", "表題", "ソフト", "図面①～⑩", "ｱｲｳｴｵ ﾃﾞｰﾀ", "能力・予定表", "",
};

}  // namespace

TEST(Codepage, japaneseTextsRoundTrip) {
    for (const char* text : kJapaneseTexts) {
        const std::optional<std::string> bytes = Cp932FromUtf8(text);
        ASSERT_TRUE(bytes) << text;
        EXPECT_EQ(Utf8FromCp932(*bytes), text);
    }
}

TEST(Codepage, encodesDoubleByteCharactersWithABackslashAsSecondByte) {
    EXPECT_EQ(Cp932FromUtf8("表"), std::string("\x95\x5C"));
    EXPECT_EQ(Cp932FromUtf8("ソ"), std::string("\x83\x5C"));
    EXPECT_EQ(Cp932FromUtf8("－"), std::string("\x81\x7C"));
    EXPECT_EQ(Cp932FromUtf8("ｱ"), std::string("\xB1"));  // half-width katakana take one byte
}

TEST(Codepage, refusesCharactersOutsideTheCodePage) {
    for (const char* text : {"😀", "𠀋", "한국어", "€", "a😀b", "グループ𠀋"}) {
        EXPECT_FALSE(Cp932FromUtf8(text)) << text;
    }
    EXPECT_FALSE(Cp932FromUtf8("\xFF\xFE"));     // not UTF-8 at all
    EXPECT_FALSE(Cp932FromUtf8("abc\xE3\x81"));  // cut off in the middle of a character
}

TEST(Codepage, takesJisFormsAsTheirWindowsFormsButRefusesLookAlikes) {
    // What a Linux input method gives for the wave dash, minus and dashes is stored as the code
    // page's own character and shows in its Windows form.
    EXPECT_EQ(Cp932FromUtf8("〜"), std::string("\x81\x60"));
    EXPECT_EQ(Utf8FromCp932(*Cp932FromUtf8("1〜3−2‖—¢£¬")), "1～3－2∥―￠￡￢");
    // A yen sign would come back as a backslash, an overline as a tilde: refused.
    EXPECT_FALSE(Cp932FromUtf8("¥100"));
    EXPECT_FALSE(Cp932FromUtf8("‾"));
}

TEST(Codepage, showsInvalidBytesAsReplacementAndKeepsTheRest) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf8FromCp932("\x85\x40"
                            "A"),
              replacement + "@A");                         // unassigned double-byte code
    EXPECT_EQ(Utf8FromCp932("A\x81"), "A" + replacement);  // lead byte at the very end
    EXPECT_EQ(Utf8FromCp932("\xA0"
                            "B\xFD"
                            "C"),
              replacement + "B" + replacement + "C");
    EXPECT_EQ(Utf8FromCp932("\x95\x5C\x83"), "表" + replacement);
}

TEST(Codepage, readsSingleBytesAloneAsBesideDoubleByteCharacters) {
    for (int byte = 1; byte < 0x80; ++byte) {
        const std::string ascii(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8FromCp932(ascii), ascii) << byte;
        EXPECT_EQ(Utf8FromCp932(ascii + "\x95\x5C"), ascii + "表") << byte;
        EXPECT_EQ(Cp932FromUtf8(ascii), ascii) << byte;
        EXPECT_EQ(Cp932FromUtf8(ascii + "表"), ascii + "\x95\x5C") << byte;
    }
}

TEST(Codepage, aFailedConversionLeavesTheNextOneWhole) {
    EXPECT_FALSE(Cp932FromUtf8("表😀"));
    EXPECT_FALSE(Cp932FromUtf8("表\xE3\x81"));
    EXPECT_EQ(Cp932FromUtf8("表"), std::string("\x95\x5C"));
    EXPECT_EQ(Utf8FromCp932("\x95"), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8FromCp932("\x95\x5C"), "表");
}

TEST(Codepage, cutsAtACharacterBoundary) {
    const std::string name = Cp932("ABCDEFGHIJKLMNO表");  // 15 single bytes and one double-byte
    EXPECT_EQ(CutToBytes(name, 16), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(CutToBytes(name, 17), name);
    EXPECT_EQ(CutToBytes(name, 100), name);
    EXPECT_EQ(CutToBytes(Cp932("表ソ表"), 5), Cp932("表ソ"));
    EXPECT_EQ(CutToBytes(Cp932("表ソ表"), 1), "");
    EXPECT_EQ(CutToBytes(Cp932("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁ"), 16), Cp932("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ"));
    EXPECT_EQ(CutToBytes("abc", 0), "");
    EXPECT_EQ(CutToBytes("", 16), "");
}

// Every byte and every pair of bytes reads as glibc's converter reads it by itself, also when many
// threads meet their lead bytes for the first time together.
TEST(Codepage, readsEveryCodeAsIconvDoes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    const auto iconvAlone = [&](const std::string& bytes) -> std::optional<std::string> {
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char out[16];
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            return std::nullopt;
        }
        return std::string(out, outPtr);
    };
    std::vector<std::pair<std::string, std::string>> expected;  // two bytes, their one character
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (const std::optional<std::string> character = iconvAlone(pair)) {
                expected.emplace_back(pair, *character);
            }
        }
        const std::string single(1, static_cast<char>(lead));
        EXPECT_EQ(Utf8FromCp932(single), iconvAlone(single).value_or("\xEF\xBF\xBD")) << lead;
    }
    iconv_close(cd);
    ASSERT_GT(expected.size(), 7000u);
    std::vector<std::thread> readers;
    std::vector<std::size_t> wrong(4, 0);
    for (std::size_t reader = 0; reader < wrong.size(); ++reader) {
        readers.emplace_back([&, reader] {
            for (std::size_t at = reader; at < expected.size(); at += wrong.size()) {
                wrong[reader] += Utf8FromCp932(expected[at].first) != expected[at].second ? 1 : 0;
            }
        });
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(wrong, std::vector<std::size_t>(4, 0));
}
