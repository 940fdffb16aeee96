#include <gtest/gtest.h>

#include "common/codepage.h"
#include "filelist/file_row_compare.h"

namespace {

FileRowTexts WithText(int column, const std::string& text) {
    FileRowTexts row;
    *ColumnTexts(row)[column] = text;
    return row;
}

int Compare(int column, const std::string& a, const std::string& b) {
    const int result = ListView1Compare(WithText(column, a), WithText(column, b), column);
    return (result > 0) - (result < 0);
}

}  // namespace

TEST(ListView1Compare, textFoldsOnlyLowerCaseLatinLetters) {
    for (int column : {kColumnFileName, kColumnFolder, kColumnTime}) {
        EXPECT_EQ(Compare(column, "abc.dwg", "ABC.DWG"), 0);
        EXPECT_EQ(Compare(column, "abc", "ABD"), -1);
        EXPECT_EQ(Compare(column, "a", "_"), -1);  // 'A' < '_' < 'a'
        EXPECT_EQ(Compare(column, "[", "z"), 1);   // 'Z' < '['
        // Full-width letters are compared by their bytes and never folded.
        EXPECT_NE(Compare(column, Cp932("ａ"), Cp932("Ａ")), 0);
    }
}

TEST(ListView1Compare, textComparesBytesUnsignedWithThePrefixFirst) {
    EXPECT_EQ(Compare(kColumnFileName, "ab", "abc"), -1);
    EXPECT_EQ(Compare(kColumnFileName, "abc", "ab"), 1);
    EXPECT_EQ(Compare(kColumnFileName, "", ""), 0);
    EXPECT_EQ(Compare(kColumnFileName, "z", Cp932("図")), -1);  // a lead byte is above every ASCII byte
}

TEST(ListView1Compare, noFileSortsAfterEveryDate) {
    EXPECT_EQ(Compare(kColumnTime, "<No File>", "2024/01/01 00:00:00"), 1);
}

TEST(ListView1Compare, sizeAndNumberCompareAsNumbers) {
    EXPECT_EQ(Compare(kColumnNumber, "9", "10"), -1);
    EXPECT_EQ(Compare(kColumnNumber, "10", "10"), 0);
    EXPECT_EQ(Compare(kColumnSize, "9", "10"), -1);
    EXPECT_EQ(Compare(kColumnSize, "0", "1"), -1);
    EXPECT_EQ(Compare(kColumnSize, "3221225472", "2147483647"), 1);
    EXPECT_EQ(Compare(kColumnSize, "10000000000", "9999999999"), 1);
}

TEST(ListView1Compare, unknownColumnKeepsRowsEqual) {
    EXPECT_EQ(ListView1Compare(WithText(0, "a"), WithText(0, "b"), 5), 0);
    EXPECT_EQ(ListView1Compare(WithText(0, "a"), WithText(0, "b"), -1), 0);
}
