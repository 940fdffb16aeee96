#include <gtest/gtest.h>

#include "common/number.h"

namespace {

struct Case {
    std::string_view text;
    std::int32_t value;
};

constexpr std::int32_t kMin = -2147483647 - 1;

constexpr Case kCases[] = {
    // decimal, with leading blanks and a sign
    {"42", 42},
    {"007", 7},
    {"   -17", -17},
    {"+5", 5},
    {"-0", 0},
    {"2147483647", 2147483647},
    {"-2147483648", kMin},
    // hexadecimal after "$", "x" or "0x"; it may fill all 32 bits
    {"$1F", 31},
    {"  $ff", 255},
    {"x10", 16},
    {"X1a", 26},
    {"0x10", 16},
    {"0X1A", 26},
    {"-$10", -16},
    {"$7FFFFFFF", 2147483647},
    {"$FFFFFFFF", -1},
    {"$80000000", kMin},
    // overflow
    {"2147483648", 0},
    {"-2147483649", 0},
    {"99999999999999999999999", 0},
    {"$100000000", 0},
    {"$FFFFFFFFFFFFFFFFFF", 0},
    // empty, prefixes without digits, stray characters anywhere
    {"", 0},
    {"   ", 0},
    {"-", 0},
    {"$", 0},
    {"0x", 0},
    {"abc", 0},
    {"1a", 0},
    {"$G", 0},
    {"12 ", 0},
    {"5\r", 0},
    {"\t5", 0},  // only blanks are skipped
    {"- 5", 0},
    {"+-5", 0},
    {"--1", 0},
    {"1.5", 0},
    {"1,000", 0},
    {"\x82\x50\x82\x51", 0},  // full-width digits in the code page are no digits
    {std::string_view("1\0"
                      "2",
                      3),
     0},
};

}  // namespace

TEST(ParseIntOrZero, readsDecimalAndHexadecimalAndGivesZeroForAnythingElse) {
    for (const Case& c : kCases) {
        EXPECT_EQ(ParseIntOrZero(c.text), c.value) << '"' << c.text << '"';
    }
}
