#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QTest>
#include <chrono>
#include <filesystem>

#include "backup/attachment_marker.h"
#include "backup/backup_place.h"
#include "outside_tools.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "support/full_length_names.h"
#include "support/slow_link.h"

namespace {

// The real program attached to a database on a server of the test's own, which stops answering.
class FrozenServer : public ProgramTest {
protected:
    void SetUp() override {
        if (TestDatabaseLocation::ThroughServer()) {
            GTEST_SKIP() << "runs a server of its own in the embedded run";
        }
        server.emplace();
        settings = location.settings();
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

    // Starts a copy of the program in the application folder, with the settings written there.
    void StartProgram() {
        const QString copy = appFolder.filePath(QStringLiteral("qarto-groups"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QARTO_PROGRAM), copy));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(copy, {});
        ASSERT_TRUE(program.waitForStarted());
    }

    // SIGTERM ends the program within two seconds, as the exit command does: it writes its settings.
    void ExpectAnOrderlyEndOnSigterm() {
        ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
        ASSERT_TRUE(program.waitForFinished(2000)) << "still running two seconds after the signal";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        QFile written(SettingsPath());
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        ASSERT_GE(lines.size(), 4);
        EXPECT_EQ(lines[3], "frozen\r");
    }
    // The program attached the database `used` and left it without a mark of a hard end, so that the
    // next start does not validate it.
    void ExpectNoHardEndMarked(const ConnectionSettings& used) {
        const std::filesystem::path backups =
            std::filesystem::path(appFolder.path().toStdString()) / "backups" / DatabaseFolderName(used);
        ASSERT_TRUE(std::filesystem::is_directory(backups));
        EXPECT_FALSE(attachment_marker::LeftBehind(backups));
    }
    // The program reaching the server through `link`.
    ConnectionSettings Through(const SlowLink& link) const {
        ConnectionSettings throughLink = settings;
        throughLink.serverPrefix = "127.0.0.1/" + std::to_string(link.Port()) + ":";
        return throughLink;
    }

    TestDatabaseLocation location;
    std::optional<OwnServer> server;
    ConnectionSettings settings;  // straight to the server
    QProcess program;
};

}  // namespace

TEST_F(FrozenServer, theProgramEndsInOrderOnSigtermWhileAStatementWaitsForIt) {
    StartProgram();
    QTest::qWait(3000);  // attached, the change watch looking every two seconds
    ASSERT_TRUE(server->Signal(SIGSTOP));
    QTest::qWait(3000);  // a look now waits for the server, which may take up to 20 s
    ExpectAnOrderlyEndOnSigterm();
    ExpectNoHardEndMarked(settings);
}

// Only the program's own connection stops getting answers; the change watch's goes on, sees another
// desktop's new group and has the board read again, so that the window itself waits for its server.
TEST_F(FrozenServer, theProgramEndsInOrderOnSigtermWhileItsWindowWaitsForTheServer) {
    SlowLink link(server->port(), std::chrono::milliseconds(0));
    const ConnectionSettings throughLink = Through(link);
    WriteSettings(throughLink);
    StartProgram();
    QTest::qWait(3000);  // attached, the change watch looking every two seconds
    link.Hold(0);        // the program's own connection is the first it makes
    Database other(settings);
    other.ConnectDatabase();
    InsertGroupRow(other, 3, FullLengthName("3", 32), "", 128, 64);
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.RequestHeld(0); }, 15000));
    ExpectAnOrderlyEndOnSigterm();
    ExpectNoHardEndMarked(throughLink);
}

// An attach waits for a server that does not answer no longer than a call may, and is given up when
// the program ends: the start-up's, or a following connection's (the change watch's, the search's)
// made in the background.
TEST_F(FrozenServer, theProgramEndsInOrderOnSigtermWhileAnAttachWaitsForTheServer) {
    const std::vector<std::pair<const char*, std::vector<int>>> cases{
        {"the start-up's", {0}}, {"a following connection's", {1, 2, 3, 4}}};
    for (const auto& [which, held] : cases) {
        SCOPED_TRACE(which);
        SlowLink link(server->port(), std::chrono::milliseconds(0));
        WriteSettings(Through(link));
        for (const int connection : held) {
            link.Hold(connection);
        }
        StartProgram();
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.RequestHeld(held.front()); }, 15000));
        ExpectAnOrderlyEndOnSigterm();
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        QFile::remove(appFolder.filePath(QStringLiteral("qarto-groups")));
    }
}

// A connection being left does not wait for a server that stopped answering: neither its next call,
// when the give-up came between two calls, nor its detach when it goes.
TEST_F(FrozenServer, aConnectionBeingLeftGivesUpItsNextCallAndItsDetach) {
    auto interrupted = std::make_unique<Database>(settings);
    auto leaving = std::make_unique<Database>(settings);
    for (Database* database : {interrupted.get(), leaving.get()}) {
        database->SetStatementDeadline(std::chrono::seconds(3));
        database->ConnectDatabase();
        ASSERT_TRUE(database->Attached());
        ASSERT_EQ(database->CountRows(kGroupTable, ""), 2);
    }
    server->Signal(SIGSTOP);
    const auto started = std::chrono::steady_clock::now();
    interrupted->Interrupt();
    EXPECT_EQ(interrupted->CountRows(kGroupTable, ""), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));  // not its 3 s

    const auto detaching = std::chrono::steady_clock::now();
    leaving.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - detaching, std::chrono::seconds(6));  // its 3 s, not TCP's
}
