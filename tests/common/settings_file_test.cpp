#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/codepage.h"
#include "common/settings_file.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Settings whose every value differs from what a load could leave by accident.
SavedSettings Distinctive() {
    SavedSettings s;
    s.connection = {"192.168.0.9:", "D:\\qarto\\", "OTHER.FDB", "someone"};
    s.mainWindow = {11, 12, 13, 14};
    s.databaseDialog = {21, 22};
    s.fileList = {31, 32, 33, 34};
    s.createDialog = {41, 42};
    s.editDialog = {51, 52};
    s.columnWidths = {61, 62, 63, 64, 65};
    s.viewStyle = 2;
    return s;
}

// While it lives, every open() fails as it does when the process has used up its descriptors.
class NoFileCanBeOpened {
public:
    NoFileCanBeOpened() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = dup(0);
        close(lowestFree);
        rlimit limit = saved_;
        limit.rlim_cur = static_cast<rlim_t>(lowestFree);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~NoFileCanBeOpened() { setrlimit(RLIMIT_NOFILE, &saved_); }
    NoFileCanBeOpened(const NoFileCanBeOpened&) = delete;
    NoFileCanBeOpened& operator=(const NoFileCanBeOpened&) = delete;

private:
    rlimit saved_{};
};

class SettingsFile : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    // What the folder holds, sorted: a temporary file left behind would show here.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir dir;
    const std::string path = PathOf("qarto-groups.dat");
};

}  // namespace

TEST_F(SettingsFile, missingFileSetsConnectionDefaultsAndLeavesWindowsAlone) {
    SavedSettings settings = Distinctive();
    EXPECT_FALSE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.serverPrefix, "localhost:");
    EXPECT_EQ(settings.connection.dataFolder, "");
    EXPECT_EQ(settings.connection.databaseName, "QRTDB.FDB");
    EXPECT_EQ(settings.connection.userName, Cp932("PCユーザー名"));
    EXPECT_EQ(settings.mainWindow.left, 11);
    EXPECT_EQ(settings.columnWidths[4], 65);
    EXPECT_EQ(settings.viewStyle, 2);

    std::filesystem::create_directory(path);  // a folder of that name is no settings file either
    settings.connection.serverPrefix.clear();
    EXPECT_FALSE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.serverPrefix, "localhost:");
}

TEST_F(SettingsFile, roundTripsByteForByte) {
    const std::string file = Cp932(
        "\r\n/home/表/ソ\\データ/"
        "\r\nQRTDB.FDB\r\nPCユーザー名\r\n192\r\n107\r\n608\r\n301\r\n-250\r\n150\r\n193\r\n"
        "109\r\n654\r\n317\r\n240\r\n140\r\n260\r\n160\r\n120\r\n160\r\n80\r\n100\r\n50\r\n1\r\n");
    WriteBytes(path, file);
    SavedSettings settings = Distinctive();
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.serverPrefix, "");
    EXPECT_EQ(settings.connection.dataFolder, Cp932("/home/表/ソ\\データ/"));
    EXPECT_EQ(settings.connection.userName, Cp932("PCユーザー名"));
    EXPECT_EQ(settings.mainWindow.left, 192);
    EXPECT_EQ(settings.mainWindow.height, 301);
    EXPECT_EQ(settings.databaseDialog.left, -250);
    EXPECT_EQ(settings.fileList.left, 193);
    EXPECT_EQ(settings.fileList.height, 317);
    EXPECT_EQ(settings.createDialog.top, 140);
    EXPECT_EQ(settings.editDialog.left, 260);
    EXPECT_EQ(settings.columnWidths[0], 120);
    EXPECT_EQ(settings.columnWidths[4], 50);
    EXPECT_EQ(settings.viewStyle, 1);

    const std::string copy = PathOf("copy.dat");
    ASSERT_TRUE(SaveSettings(copy, settings));
    EXPECT_EQ(ReadBytes(copy), file);
}

TEST_F(SettingsFile, savedFileReadsBackAsSaved) {
    const SavedSettings saved = Distinctive();
    WriteBytes(path, std::string(4000, 'x'));  // a longer old file leaves nothing behind
    ASSERT_TRUE(SaveSettings(path, saved));
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 24);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_EQ(Names(), std::vector<std::string>{"qarto-groups.dat"});

    SavedSettings loaded;
    ASSERT_TRUE(LoadSettings(path, loaded));
    EXPECT_EQ(loaded.connection.serverPrefix, saved.connection.serverPrefix);
    EXPECT_EQ(loaded.connection.dataFolder, saved.connection.dataFolder);
    EXPECT_EQ(loaded.connection.databaseName, saved.connection.databaseName);
    EXPECT_EQ(loaded.connection.userName, saved.connection.userName);
    EXPECT_EQ(loaded.mainWindow.width, 13);
    EXPECT_EQ(loaded.databaseDialog.top, 22);
    EXPECT_EQ(loaded.fileList.width, 33);
    EXPECT_EQ(loaded.createDialog.left, 41);
    EXPECT_EQ(loaded.editDialog.top, 52);
    EXPECT_EQ(loaded.columnWidths, saved.columnWidths);
    EXPECT_EQ(loaded.viewStyle, 2);
}

TEST_F(SettingsFile, threeLineFileEmptiesUserNameAndZeroesEveryNumber) {
    WriteBytes(path, "localhost:\r\nC:\\data\\\r\nQRTDB.FDB\r\n");
    SavedSettings settings = Distinctive();
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.serverPrefix, "localhost:");
    EXPECT_EQ(settings.connection.dataFolder, "C:\\data\\");
    EXPECT_EQ(settings.connection.databaseName, "QRTDB.FDB");
    EXPECT_EQ(settings.connection.userName, "");
    EXPECT_EQ(settings.mainWindow.left, 0);
    EXPECT_EQ(settings.mainWindow.height, 0);
    EXPECT_EQ(settings.databaseDialog.top, 0);
    EXPECT_EQ(settings.fileList.width, 0);
    EXPECT_EQ(settings.editDialog.top, 0);
    EXPECT_EQ(settings.columnWidths, (std::array<int, 5>{}));
    EXPECT_EQ(settings.viewStyle, 0);
}

TEST_F(SettingsFile, readsNumbersWithParseIntOrZero) {
    WriteBytes(path, "a\r\nb\r\nc\r\nd\r\nabc\r\n  12\r\n$10\r\n12px\r\n99999999999\r\n-7\r\n");
    SavedSettings settings = Distinctive();
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.mainWindow.left, 0);
    EXPECT_EQ(settings.mainWindow.top, 12);
    EXPECT_EQ(settings.mainWindow.width, 16);
    EXPECT_EQ(settings.mainWindow.height, 0);
    EXPECT_EQ(settings.databaseDialog.left, 0);
    EXPECT_EQ(settings.databaseDialog.top, -7);
    EXPECT_EQ(settings.fileList.left, 0);
}

TEST_F(SettingsFile, userNameIsCutToSixteenBytesBetweenCharacters) {
    WriteBytes(path, "\r\n\r\n\r\n" + Cp932("ABCDEFGHIJKLMNO表題") + "\r\n");
    SavedSettings settings;
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.userName, "ABCDEFGHIJKLMNO");

    WriteBytes(path, "\r\n\r\n\r\n" + Cp932("設計部の山田太郎さん") + "\r\n");
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.userName, Cp932("設計部の山田太郎"));

    WriteBytes(path, "\r\n\r\n\r\n0123456789abcdefXYZ\r\n");
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.userName, "0123456789abcdef");
}

TEST_F(SettingsFile, ignoresLinesAfterTheLastAndAcceptsBareLineFeeds) {
    std::string file = "p:\nf/\nd.fdb\nu\n";
    for (int i = 1; i <= 20; ++i) {
        file += std::to_string(i) + "\n";
    }
    file += "localhost:\r\n99\r\n";
    WriteBytes(path, file);
    SavedSettings settings;
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.serverPrefix, "p:");
    EXPECT_EQ(settings.connection.userName, "u");
    EXPECT_EQ(settings.mainWindow.left, 1);
    EXPECT_EQ(settings.viewStyle, 20);

    WriteBytes(path, "p:\r\nf/\r\nd.fdb");  // no line end after the last line
    ASSERT_TRUE(LoadSettings(path, settings));
    EXPECT_EQ(settings.connection.databaseName, "d.fdb");
}

TEST_F(SettingsFile, failedSaveKeepsThePreviousFile) {
    ASSERT_TRUE(SaveSettings(path, Distinctive()));
    const std::string previous = ReadBytes(path);
    SavedSettings changed = Distinctive();
    changed.connection.dataFolder = "E:\\elsewhere\\";

    // The temporary file cannot be made: the process may open no more files.
    {
        const NoFileCanBeOpened limit;
        EXPECT_FALSE(SaveSettings(path, changed));
    }
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_EQ(Names(), std::vector<std::string>{"qarto-groups.dat"});
}

TEST_F(SettingsFile, aFileOrLinkAtTheTemporaryNameIsNeitherWrittenNorRemoved) {
    const std::string other = PathOf("other.txt");
    WriteBytes(other, "someone else's");
    WriteBytes(path + ".tmp", "left over");
    ASSERT_TRUE(SaveSettings(path, Distinctive()));
    std::filesystem::remove(path + ".tmp");
    std::filesystem::create_symlink(other, path + ".tmp");
    ASSERT_TRUE(SaveSettings(path, Distinctive()));

    EXPECT_EQ(ReadBytes(other), "someone else's");
    EXPECT_TRUE(std::filesystem::is_symlink(path + ".tmp"));
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    SavedSettings loaded;
    ASSERT_TRUE(LoadSettings(path, loaded));
    EXPECT_EQ(loaded.connection.dataFolder, Distinctive().connection.dataFolder);
    EXPECT_EQ(Names(), (std::vector<std::string>{"other.txt", "qarto-groups.dat", "qarto-groups.dat.tmp"}));
}

TEST_F(SettingsFile, failedSaveLeavesNoTemporaryFileBehind) {
    // The target is a folder, so the written temporary file cannot replace it.
    std::filesystem::create_directory(path);
    EXPECT_FALSE(SaveSettings(path, Distinctive()));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(Names(), std::vector<std::string>{"qarto-groups.dat"});

    // A folder that does not exist: nothing is created anywhere.
    const std::string nowhere = PathOf("missing/qarto-groups.dat");
    EXPECT_FALSE(SaveSettings(nowhere, Distinctive()));
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing")));
}
