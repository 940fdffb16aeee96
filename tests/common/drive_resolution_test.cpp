#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "common/drive_resolution.h"

namespace {

class DriveResolution : public ::testing::Test {
protected:
    std::string Resolve(std::string_view path) {
        return ResolveDriveOfPath(path, [this](std::string_view drive) {
            asked.emplace_back(drive);
            return std::string("\\\\server\\share");
        });
    }
    std::vector<std::string> asked;
};

}  // namespace

TEST_F(DriveResolution, replacesDrivesDToZWithTheirRemoteName) {
    EXPECT_EQ(Resolve("D:\\work\\a.dwg"), "\\\\server\\share\\work\\a.dwg");
    EXPECT_EQ(Resolve("Z:"), "\\\\server\\share");
    EXPECT_THAT(asked, ::testing::ElementsAre("D:", "Z:"));
}

TEST_F(DriveResolution, leavesOtherPathsAloneWithoutAsking) {
    for (const char* path : {"A:\\a.dwg", "C:\\a.dwg", "d:\\a.dwg", "\\\\host\\a.dwg", "/home/a.dwg", "D", "",
                             "DD:", "[:\\a.dwg", "@:\\a.dwg"}) {
        EXPECT_EQ(Resolve(path), path);
    }
    EXPECT_TRUE(asked.empty());
}

TEST_F(DriveResolution, driveWithoutARemoteNameStaysAsItIs) {
    EXPECT_EQ(ResolveDriveOfPath("X:\\a.dwg", [](std::string_view drive) { return std::string(drive); }),
              "X:\\a.dwg");
}
