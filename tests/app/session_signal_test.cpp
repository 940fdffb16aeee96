#include <signal.h>

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

    QProcess process;
    TestDatabaseLocation location;
};

}  // namespace

TEST_P(SessionSignal, endsTheRunAsTheExitCommandDoes) {
    CreateDatabaseWithGroup(location, 1, "A", 0, 0);
    ConnectionSettings connection = location.settings();
    connection.userName = "signalled";
    WriteSettings(connection);
    {
        // A line the program ignores and never writes: gone once the close sequence has saved.
        QFile settings(SettingsPath());
        ASSERT_TRUE(settings.open(QIODevice::Append));
        settings.write("left over\r\n");
    }

    process.start();
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(WaitUntilSignalsAreHeld());
    ASSERT_EQ(kill(static_cast<pid_t>(process.processId()), GetParam()), 0);
    ASSERT_TRUE(process.waitForFinished(2000)) << "still running two seconds after the signal";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);

    // The settings were written back; the database was left detached, so it can be attached at once.
    QFile settings(SettingsPath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = settings.readAll().split('\n');
    EXPECT_EQ(lines.size(), 25);  // 24 lines, each ended
    EXPECT_EQ(lines[3], "signalled\r");
    EXPECT_FALSE(lines.contains("left over\r"));
    Database database(location.settings());
    database.ConnectDatabase();
    EXPECT_TRUE(database.Attached());
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, SessionSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));
