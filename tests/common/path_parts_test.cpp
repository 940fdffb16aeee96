#include <gtest/gtest.h>

#include "common/codepage.h"
#include "common/path_parts.h"

namespace {

constexpr std::string_view kWindowsSeparators = "\\:";
constexpr std::string_view kPosixSeparators = "/";

void ExpectParts(std::string_view separators, const std::string& path, const std::string& folder,
                 const std::string& name) {
    EXPECT_EQ(FolderPart(path, separators), folder) << Utf8FromCp932(path);
    EXPECT_EQ(FileNamePart(path, separators), name) << Utf8FromCp932(path);
}

}  // namespace

TEST(PathParts, secondByteOfADoubleByteCharacterIsNoSeparator) {
    ExpectParts(kWindowsSeparators, Cp932("C:\\work\\表.dwg"), Cp932("C:\\work\\"), Cp932("表.dwg"));
    ExpectParts(kWindowsSeparators, Cp932("C:\\ソ\\a.dwg"), Cp932("C:\\ソ\\"), "a.dwg");
    ExpectParts(kWindowsSeparators, Cp932("C:\\図面\\表"), Cp932("C:\\図面\\"), Cp932("表"));
    ExpectParts(kWindowsSeparators, Cp932("\\\\server\\ソフト表"), "\\\\server\\", Cp932("ソフト表"));
    ExpectParts(kWindowsSeparators, Cp932("表ソ"), "", Cp932("表ソ"));
}

TEST(PathParts, windowsSeparatorsIncludeTheDriveColon) {
    ExpectParts(kWindowsSeparators, Cp932("C:表.dwg"), "C:", Cp932("表.dwg"));
    ExpectParts(kWindowsSeparators, "D:\\", "D:\\", "");
    ExpectParts(kWindowsSeparators, "a.dwg", "", "a.dwg");
}

TEST(PathParts, posixSeparatorIsTheSlashOnly) {
    ExpectParts(kPosixSeparators, Cp932("/home/表/ソ.dwg"), Cp932("/home/表/"), Cp932("ソ.dwg"));
    ExpectParts(kPosixSeparators, "/tmp/a\\b:c", "/tmp/", "a\\b:c");
    ExpectParts(kPosixSeparators, Cp932("/データ/"), Cp932("/データ/"), "");
    ExpectParts(kPosixSeparators, "/", "/", "");
    ExpectParts(kPosixSeparators, "", "", "");
}
