#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "common/path_on_disk.h"

namespace fs = std::filesystem;

namespace {

struct OnDiskCase {
    const char* onDisk;  // as typed on this desktop, relative to the test's folder
    const char* stored;  // the same as the database keeps it, read back as UTF-8
    const char* found;   // what PathAsOnDisk answers, relative to the test's folder
};

const OnDiskCase kCases[] = {
    // The wave dash typed here is stored as the full-width tilde; names with a 0x5C trail byte around it.
    {"図面/軸組図_X1通り〜X12通り表ソ能.dxf", "図面/軸組図_X1通り～X12通り表ソ能.dxf",
     "図面/軸組図_X1通り〜X12通り表ソ能.dxf"},
    // A folder of its own in the other form, and a name holding several of the pairs.
    {"A‖B棟/C−D¢£¬—〜.dxf", "A∥B棟/C－D￠￡￢―～.dxf", "A‖B棟/C−D¢£¬—〜.dxf"},
    // Written by a Windows desktop in the code page's form: found as it is.
    {"共有/A～B.dxf", "共有/A～B.dxf", "共有/A～B.dxf"},
    // Both forms on disk: the one named is the one found.
    {"両方/A〜B.dxf", "両方/A～B.dxf", "両方/A～B.dxf"},
    // Nothing of that name in either form: the path asked for, unchanged.
    {"無い/A〜C.dxf", "無い/A～B.dxf", "無い/A～B.dxf"},
};

}  // namespace

TEST(PathAsOnDisk, findsAStoredNameWhicheverFormTheFileSystemHolds) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    for (const OnDiskCase& c : kCases) {
        const fs::path file = fs::path(root + c.onDisk);
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "drawing";
    }
    std::ofstream(root + "両方/A～B.dxf") << "the other";
    for (const OnDiskCase& c : kCases) {
        // What the database holds reads back in the code page's forms.
        ASSERT_EQ(Utf8FromCp932(Cp932(c.stored)), c.stored);
        EXPECT_EQ(PathAsOnDisk(root + c.stored), root + c.found) << c.stored;
    }
}
