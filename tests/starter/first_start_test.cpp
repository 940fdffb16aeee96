#include <QDir>
#include <QFile>
#include <filesystem>

#include "board/picture_files.h"
#include "board/program_fixture.h"
#include "common/codepage.h"
#include "starter/first_start.h"
#include "storage/schema.h"

namespace fs = std::filesystem;

namespace {

// A user's first start of the installed program, with the settings file where the program looks.
class FirstStartTest : public ProgramTest {
protected:
    fs::path Settings() const { return QFile::encodeName(SettingsPath()).toStdString(); }
    fs::path Data(const char* name) const {
        return QFile::encodeName(appFolder.filePath(name)).toStdString();
    }

    // The five windows' places and sizes as they are now.
    QList<QRect> Shown() {
        return {board().geometry(), windows->form2.geometry(), windows->form3.geometry(),
                windows->form4.geometry(), windows->form5.geometry()};
    }
};

}  // namespace

TEST_F(FirstStartTest, theProgramOpensThePreparedDatabaseWithEveryWindowWhereAFirstRunPutsIt) {
    Start();
    const QList<QRect> firstRun = Shown();
    windows.reset();
    QFile::remove(SettingsPath());

    const fs::path data = Data("データ/qarto-groups");  // a home folder named in Japanese
    ASSERT_EQ(PrepareFirstStart(Settings(), data), FirstStart::Prepared);
    EXPECT_TRUE(fs::is_regular_file(data / "QRTDB.FDB"));
    Start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(board().database().Attached());
    EXPECT_EQ(context.settings.serverPrefix, "");
    EXPECT_EQ(context.settings.dataFolder, Cp932(data.string() + "/"));
    EXPECT_EQ(Shown(), firstRun);
}

TEST_F(FirstStartTest, anExistingSettingsFileIsNeverTouched) {
    WriteFile(SettingsPath(), "localhost:\r\n/srv/firebird/\r\n");
    const fs::path data = Data("data");
    EXPECT_EQ(PrepareFirstStart(Settings(), data), FirstStart::AlreadyPrepared);
    QFile file(SettingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "localhost:\r\n/srv/firebird/\r\n");
    EXPECT_FALSE(fs::exists(data));
}

TEST_F(FirstStartTest, anExistingDatabaseIsKeptWithItsGroups) {
    const fs::path data = Data("data");
    fs::create_directories(data);
    ConnectionSettings connection = ConnectionSettings::Defaults();
    connection.serverPrefix.clear();
    connection.dataFolder = data.string() + "/";
    {
        Database database(connection);
        database.CreateDatabase();
        ASSERT_TRUE(CreateGroupTable(database));
        InsertGroupRow(database, 1, "drawings", "", 0, 0);
    }
    ASSERT_EQ(PrepareFirstStart(Settings(), data), FirstStart::Prepared);
    Start();
    EXPECT_NE(IconOf(board(), 1), nullptr);
}

TEST_F(FirstStartTest, whenNoDatabaseCanBeMadeNoSettingsFileIsWrittenAndTheNextStartTriesAgain) {
    EXPECT_EQ(PrepareFirstStart(Settings(), "/proc/qarto-groups"), FirstStart::DatabaseNotCreated);
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    EXPECT_EQ(PrepareFirstStart(Settings(), Data("data")), FirstStart::Prepared);
}

TEST_F(FirstStartTest, aDataFolderTheCodePageCannotNameIsRefusedBeforeAnythingIsMade) {
    const fs::path data = Data("데이터");
    EXPECT_EQ(PrepareFirstStart(Settings(), data), FirstStart::FolderNotInCodePage);
    EXPECT_FALSE(fs::exists(data));
    EXPECT_FALSE(QFile::exists(SettingsPath()));
}
