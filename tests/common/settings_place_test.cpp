#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "common/settings_place.h"
#include "support/scoped_environment.h"

namespace fs = std::filesystem;

namespace {

// No process can create files here, root included: the rule must not rely on permission bits.
const fs::path kFolderThatTakesNoFiles = "/proc";

class SettingsPlace : public ::testing::Test {
protected:
    fs::path Folder() const { return fs::path(dir.path().toStdString()); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(SettingsPlace, aWritableExecutableFolderKeepsTheFileBesideIt) {
    const fs::path beside = Folder() / "qarto-groups.dat";
    const fs::path user = Folder() / "config" / "qarto-groups";
    EXPECT_EQ(SettingsFilePlace(beside, user), beside);
    EXPECT_FALSE(fs::exists(user.parent_path()));
    EXPECT_TRUE(fs::is_empty(Folder()));  // asking leaves nothing behind
}

TEST_F(SettingsPlace, aFileOrLinkAtTheProbesNameIsLeftAsItWas) {
    const fs::path other = Folder() / "other.txt";
    std::ofstream(other) << "someone else's";
    std::ofstream(Folder() / "qarto-groups.dat.probe") << "left over";
    fs::create_symlink(other, Folder() / "renamed.dat.probe");
    const fs::path user = Folder() / "config";
    EXPECT_EQ(SettingsFilePlace(Folder() / "qarto-groups.dat", user), Folder() / "qarto-groups.dat");
    EXPECT_EQ(SettingsFilePlace(Folder() / "renamed.dat", user), Folder() / "renamed.dat");

    EXPECT_TRUE(fs::is_symlink(Folder() / "renamed.dat.probe"));
    std::string left;
    std::getline(std::ifstream(Folder() / "qarto-groups.dat.probe"), left);
    EXPECT_EQ(left, "left over");
    std::string others;
    std::getline(std::ifstream(other), others);
    EXPECT_EQ(others, "someone else's");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 3);
}

TEST_F(SettingsPlace, aFolderThatCannotBeWrittenSendsTheFileToTheUsersFolderMadeForIt) {
    const fs::path user = Folder() / "config" / "qarto-groups";
    EXPECT_EQ(SettingsFilePlace(kFolderThatTakesNoFiles / "renamed.dat", user), user / "renamed.dat");
    EXPECT_TRUE(fs::is_directory(user));
    EXPECT_TRUE(fs::is_empty(user));
}

TEST_F(SettingsPlace, whenTheUsersFolderCannotBeMadeEitherThePlaceBesideTheExecutableStays) {
    const fs::path beside = kFolderThatTakesNoFiles / "qarto-groups.dat";
    EXPECT_EQ(SettingsFilePlace(beside, kFolderThatTakesNoFiles / "qarto-groups"), beside);
    EXPECT_EQ(SettingsFilePlace(beside, fs::path()), beside);
}

TEST(UserFolders, theDesktopsVariablesNameTheFolders) {
    const ScopedEnvironment config("XDG_CONFIG_HOME", "/srv/clerk/settings");
    const ScopedEnvironment data("XDG_DATA_HOME", "/srv/clerk/data");
    EXPECT_EQ(UserConfigFolder(), fs::path("/srv/clerk/settings/qarto-groups"));
    EXPECT_EQ(UserDataFolder(), fs::path("/srv/clerk/data/qarto-groups"));
}

TEST(UserFolders, withoutUsableVariablesTheHomeFolderGivesTheDefaults) {
    const ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
    const ScopedEnvironment data("XDG_DATA_HOME", "relative/data");
    const ScopedEnvironment home("HOME", "/home/clerk");
    EXPECT_EQ(UserConfigFolder(), fs::path("/home/clerk/.config/qarto-groups"));
    EXPECT_EQ(UserDataFolder(), fs::path("/home/clerk/.local/share/qarto-groups"));

    const ScopedEnvironment noHome("HOME", nullptr);
    EXPECT_TRUE(UserConfigFolder().empty());
    EXPECT_TRUE(UserDataFolder().empty());
}
