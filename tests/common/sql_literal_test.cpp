#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/sql_literal.h"

TEST(SqlLiteral, textIsQuotedWithEveryQuoteDoubled) {
    EXPECT_EQ(SqlText("a.dwg"), "'a.dwg'");
    EXPECT_EQ(SqlText("O'Brien"), "'O''Brien'");
    EXPECT_EQ(SqlText("'"), "''''");
    EXPECT_EQ(SqlText("x'); DROP TABLE GRPQRT; --"), "'x''); DROP TABLE GRPQRT; --'");
    EXPECT_EQ(SqlText("\"quoted\""), "'\"quoted\"'");
}

TEST(SqlLiteral, backslashesAndDoubleByteTextPassUnchanged) {
    EXPECT_EQ(SqlText("C:\\work\\"), "'C:\\work\\'");
    EXPECT_EQ(SqlText(Cp932("表ソ")), "'" + Cp932("表ソ") + "'");
}

TEST(SqlLiteral, emptyTextIsNullAndNumbersAreBare) {
    EXPECT_EQ(SqlText(""), "NULL");
    EXPECT_EQ(SqlText(" "), "' '");
    EXPECT_EQ(SqlNumber(0), "0");
    EXPECT_EQ(SqlNumber(-5), "-5");
    EXPECT_EQ(SqlNumber(2147483647), "2147483647");
}
