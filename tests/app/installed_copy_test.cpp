#include <QFile>
#include <QTemporaryDir>

#include "board/program_fixture.h"
#include "support/scoped_environment.h"

namespace {

// A copy installed in a folder the user cannot write (procfs takes no files, even from root).
class InstalledCopy : public ProgramTest {
protected:
    InstalledCopy() { context.executablePath = QStringLiteral("/proc/qarto-groups"); }

    QString UserSettingsPath() const {
        return configHome.filePath(QStringLiteral("qarto-groups/qarto-groups.dat"));
    }

    QTemporaryDir configHome;
    ScopedEnvironment config{"XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData()};
};

}  // namespace

TEST_F(InstalledCopy, settingsAreWrittenToTheUsersConfigurationFolderAndReadFromThere) {
    Start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    context.settings.userName = "clerk";  // as the database settings dialog keeps it
    board().close();
    ASSERT_TRUE(QFile::exists(UserSettingsPath()));

    windows.reset();
    context.settings = ConnectionSettings::Defaults();
    Start();
    EXPECT_EQ(context.settings.userName, "clerk");
}
