#include <gtest/gtest.h>

#include "common/codepage.h"
#include "send/package_plan.h"

namespace {

struct PlanCase {
    const char* what;
    FolderLayout layout;
    std::vector<StoredFile> files;
    std::vector<std::string> names;
};

std::string J(const char* utf8) {
    return Cp932(utf8);
}

// 表, ソ and 能 end in 0x5C: a backslash byte that is no separator.
const std::string kShare = J("\\\\FS01\\図面\\表\\");

}  // namespace

TEST(PackageNames, partFilesOfOneNameAndKeepFoldersInsideThePackage) {
    const std::vector<PlanCase> cases{
        {"two folders' files of one name, the list's name and a name in other letters",
         FolderLayout::Flat,
         {{1, J("平面図.dwg"), kShare + J("A棟\\")},
          {2, J("平面図.dwg"), kShare + J("B棟\\")},
          {3, J("図面リスト.csv"), kShare},
          {4, J("README"), kShare},
          {5, J("readme"), kShare + J("ソ\\")}},
         {J("平面図.dwg"), J("平面図 (2).dwg"), J("図面リスト (2).csv"), J("README"), J("readme (2)")}},
        {"folders kept below the one they share, separators of their kind, no climbing out",
         FolderLayout::Kept,
         {{1, J("平面図.dwg"), kShare + J("A棟\\能\\")},
          {2, J("平面図.dwg"), J("\\\\fs01/図面/表/b棟/")},
          {3, J("x.dwg"), kShare + J("..\\")},
          {4, J("x.dwg"), kShare + J("..\\")}},
         {J("A棟/能/平面図.dwg"), J("b棟/平面図.dwg"), J("_/x.dwg"), J("_/x (2).dwg")}},
    };
    for (const PlanCase& plan : cases) {
        EXPECT_EQ(PackageNames(plan.files, plan.layout, {J("図面リスト.csv")}), plan.names) << plan.what;
    }
}

TEST(PackageNames, aNumberedFullLengthNameIsShortenedToWhatFileSystemsTake) {
    std::string longest;
    while (Utf8FromCp932(longest + J("表.dwg")).size() <= kLongestNamePart) {
        longest += J("表");
    }
    longest += J(".dwg");
    const std::vector<std::string> names =
        PackageNames({{1, longest, "/a/"}, {2, longest, "/b/"}}, FolderLayout::Flat, {});
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], longest);
    EXPECT_LE(Utf8FromCp932(names[1]).size(), kLongestNamePart);
    EXPECT_TRUE(names[1].ends_with(J(" (2).dwg")));
    EXPECT_EQ(Utf8FromCp932(names[1]).find("\xEF\xBF\xBD"), std::string::npos);  // no character cut in two
}
