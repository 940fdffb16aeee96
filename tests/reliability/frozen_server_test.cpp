#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QTest>

#include "outside_tools.h"
#include "program_fixture.h"

namespace {

// The real program attached to a database on a server of the test's own, which stops answering.
class FrozenServer : public ProgramTest {
protected:
    void SetUp() override {
        if (TestDatabaseLocation::ThroughServer()) {
            GTEST_SKIP() << "runs a server of its own in the embedded run";
        }
        server.emplace();
        ConnectionSettings settings = location.settings();
        settings.serverPrefix = server->prefix();
        Database creator(settings);
        creator.CreateDatabase();
        ASSERT_TRUE(creator.Attached());
        ASSERT_TRUE(StoreTwoGroups(creator));
        creator.DisconnectDatabase();
        settings.userName = "frozen";
        WriteSettings(settings);
    }
    void TearDown() override {
        if (server) {
            server->Signal(SIGCONT);
        }
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    TestDatabaseLocation location;
    std::optional<OwnServer> server;
    QProcess program;
};

}  // namespace

TEST_F(FrozenServer, theProgramEndsInOrderOnSigtermWhileAStatementWaitsForIt) {
    const QString copy = appFolder.filePath(QStringLiteral("qarto-groups"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QARTO_PROGRAM), copy));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(copy, {});
    ASSERT_TRUE(program.waitForStarted());
    QTest::qWait(3000);  // attached, the change watch looking every two seconds
    ASSERT_TRUE(server->Signal(SIGSTOP));
    QTest::qWait(3000);  // a look now waits for the server, which may take up to 20 s
    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(2000)) << "still running two seconds after the signal";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);

    QFile settings(SettingsPath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = settings.readAll().split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[3], "frozen\r");
}
