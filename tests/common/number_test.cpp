#include <gtest/gtest.h>

#include "common/number.h"

TEST(ParseIntOrZero, readsDecimalHexadecimalAndGivesZeroForAnythingElse) {
    EXPECT_EQ(ParseIntOrZero("42"), 42);
    EXPECT_EQ(ParseIntOrZero("   -17"), -17);
    EXPECT_EQ(ParseIntOrZero("+5"), 5);
    EXPECT_EQ(ParseIntOrZero("$1F"), 31);
    EXPECT_EQ(ParseIntOrZero("x10"), 16);
    EXPECT_EQ(ParseIntOrZero("0x10"), 16);
    EXPECT_EQ(ParseIntOrZero("2147483647"), 2147483647);
    EXPECT_EQ(ParseIntOrZero("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseIntOrZero("2147483648"), 0);
    EXPECT_EQ(ParseIntOrZero(""), 0);
    EXPECT_EQ(ParseIntOrZero("abc"), 0);
    EXPECT_EQ(ParseIntOrZero("12 "), 0);
    EXPECT_EQ(ParseIntOrZero("1a"), 0);
    EXPECT_EQ(ParseIntOrZero("$"), 0);
    EXPECT_EQ(ParseIntOrZero("-"), 0);
}
