#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/strip_quotes.h"

TEST(StripQuotes, removesQuotesAndControlBytes) {
    EXPECT_EQ(StripQuotes("O'Brien \"A\".dwg"), "OBrien A.dwg");
    EXPECT_EQ(StripQuotes("a\tb\r\nc\x1F"
                          "d\x7F"),
              "abcd\x7F");
    EXPECT_EQ(StripQuotes("''\"\""), "");
    EXPECT_EQ(StripQuotes("C:\\work\\"), "C:\\work\\");
    EXPECT_EQ(StripQuotes(""), "");
}

TEST(StripQuotes, keepsDoubleByteCharactersWhole) {
    EXPECT_EQ(StripQuotes(Cp932("C:\\表\\ソ'.dwg")), Cp932("C:\\表\\ソ.dwg"));
    EXPECT_EQ(StripQuotes(Cp932("ｱ'ｲ")), Cp932("ｱｲ"));  // half-width katakana are single bytes
    // The byte after a lead byte is never inspected, even when it looks like a control byte.
    EXPECT_EQ(StripQuotes(std::string("\x81\x1F"
                                      "a")),
              std::string("\x81\x1F"
                          "a"));
}

TEST(StripQuotes, dropsALeadByteAtTheVeryEnd) {
    EXPECT_EQ(StripQuotes("abc\x81"), "abc");
    EXPECT_EQ(StripQuotes(Cp932("表") + "\xE0"), Cp932("表"));
}
