#include <QDir>
#include <QFile>
#include <filesystem>

#include "board/picture_files.h"
#include "board/program_fixture.h"
#include "common/codepage.h"
#include "starter/first_start.h"
#include "starter/starter_problem.h"
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

    QList<QByteArray> ReadLines() const {
        QFile file(SettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
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
    std::string reason;
    EXPECT_EQ(PrepareFirstStart(Settings(), "/proc/qarto-groups", &reason), FirstStart::DatabaseNotCreated);
    EXPECT_NE(reason.find("/proc/qarto-groups/QRTDB.FDB"), std::string::npos) << reason;
    EXPECT_FALSE(QFile::exists(SettingsPath()));
    EXPECT_EQ(PrepareFirstStart(Settings(), Data("data")), FirstStart::Prepared);
}

TEST_F(FirstStartTest, theProgramShowsWhatTheStarterCouldNotPrepareOnceItsWindowIsUp) {
    std::string reason;
    const FirstStart outcome = PrepareFirstStart(Settings(), "/proc/qarto-groups", &reason);
    HandOverStarterProblem(FirstStartProblem(outcome, reason));
    Start();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0],
              QStringLiteral("データベースを作成出来ません。\n") + QString::fromStdString(reason));
    EXPECT_TRUE(TakeStarterProblem().empty());  // read once, and nothing the program starts inherits it
}

TEST_F(FirstStartTest, aSettingsFileWithoutADataFolderGetsTheDatabaseAndKeepsEveryOtherLine) {
    Start();
    context.settings.userName = "clerk";
    board().move(board().pos() + QPoint(40, 30));
    board().close();
    windows.reset();
    QList<QByteArray> before = ReadLines();
    ASSERT_EQ(before.size(), 25);
    ASSERT_EQ(before[1], "\r");

    const fs::path data = Data("data");
    ASSERT_EQ(PrepareFirstStart(Settings(), data), FirstStart::Prepared);
    EXPECT_TRUE(fs::is_regular_file(data / "QRTDB.FDB"));
    QList<QByteArray> after = ReadLines();
    EXPECT_EQ(after.mid(0, 3),
              (QList<QByteArray>{"\r", QByteArray::fromStdString(data.string()) + "/\r", "QRTDB.FDB\r"}));
    EXPECT_EQ(after.mid(3), before.mid(3));

    // Prepared now: the next start leaves the file alone.
    EXPECT_EQ(PrepareFirstStart(Settings(), Data("elsewhere")), FirstStart::AlreadyPrepared);
    EXPECT_EQ(ReadLines(), after);
}

TEST_F(FirstStartTest, aDataFolderTheCodePageCannotNameIsRefusedBeforeAnythingIsMade) {
    const fs::path data = Data("데이터");
    EXPECT_EQ(PrepareFirstStart(Settings(), data), FirstStart::FolderNotInCodePage);
    EXPECT_FALSE(fs::exists(data));
    EXPECT_FALSE(QFile::exists(SettingsPath()));
}
