#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "board/program_fixture.h"

namespace {

// The real program, run in the test's application folder until a signal of the session ends it.
class SessionSignal : public ProgramTest, public ::testing::WithParamInterface<int> {
protected:
    SessionSignal() {
        const QString program = appFolder.filePath(QStringLiteral("qarto-groups"));
        EXPECT_TRUE(QFile::copy(QStringLiteral(QARTO_PROGRAM), program));
        process.setProgram(program);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
    }
    ~SessionSignal() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    // The program holds the three signals back from its first line on; before that the default action
    // would end it, so the signal is sent only once they are held.
    bool WaitUntilSignalsAreHeld() {
        const QString status = QStringLiteral("/proc/%1/status").arg(process.processId());
        const quint64 held = (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGHUP - 1));
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000) {
            QFile file(status);
            if (file.open(QIODevice::ReadOnly)) {
                for (const QByteArray& line : file.readAll().split('\n')) {
                    if (line.startsWith("SigBlk:") &&
                        (line.mid(7).trimmed().toULongLong(nullptr, 16) & held) == held) {
                        return true;
                    }
                }
            }
            QThread::msleep(10);
        }
        return false;
    }

    // A settings file naming the test's database, with a line the program ignores and never writes:
    // gone once the close sequence has saved.
    void WriteSignalledSettings() {
        ConnectionSettings connection = location.settings();
        connection.userName = "signalled";
        WriteSettings(connection);
        QFile settings(SettingsPath());
        ASSERT_TRUE(settings.open(QIODevice::Append));
        settings.write("left over\r\n");
    }

    // The signal of the test's parameter ends the program within two seconds, settings written.
    void ExpectSignalEndsTheRun() {
        ASSERT_EQ(kill(static_cast<pid_t>(process.processId()), GetParam()), 0);
        ASSERT_TRUE(process.waitForFinished(2000)) << "still running two seconds after the signal";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        QFile settings(SettingsPath());
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = settings.readAll().split('\n');
        EXPECT_EQ(lines.size(), 25);  // 24 lines, each ended
        EXPECT_EQ(lines[3], "signalled\r");
        EXPECT_FALSE(lines.contains("left over\r"));
    }

    QProcess process;
    TestDatabaseLocation location;
};

}  // namespace

TEST_P(SessionSignal, endsTheRunAsTheExitCommandDoes) {
    CreateDatabaseWithGroup(location, 1, "A", 0, 0);
    WriteSignalledSettings();

    process.start();
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(WaitUntilSignalsAreHeld());
    ExpectSignalEndsTheRun();

    // The database was left detached, so it can be attached at once.
    Database database(location.settings());
    database.ConnectDatabase();
    EXPECT_TRUE(database.Attached());
}

TEST_P(SessionSignal, endsTheRunWhileTheStartUpMessageAboutTheDatabaseIsShown) {
    const std::string file = location.folder() + location.settings().databaseName;
    {
        QFile notADatabase(QString::fromStdString(file));
        ASSERT_TRUE(notADatabase.open(QIODevice::WriteOnly));
        notADatabase.write(QByteArray(8192, 'x'));
    }
    WriteSignalledSettings();
    // Firebird closing the file it could not attach is the moment the message comes up.
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, file.c_str(), IN_CLOSE), 0);

    process.start();
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(WaitUntilSignalsAreHeld());
    pollfd closed{watch, POLLIN, 0};
    ASSERT_EQ(poll(&closed, 1, 10000), 1) << "the program never tried the database";
    close(watch);
    ExpectSignalEndsTheRun();
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, SessionSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));
