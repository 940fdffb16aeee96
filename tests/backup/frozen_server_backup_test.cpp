#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <ctime>
#include <thread>

#include "backup/attachment_marker.h"
#include "backup/backup_place.h"
#include "backup/verified_backup.h"
#include "outside_tools.h"
#include "program_fixture.h"
#include "support/group_library.h"

namespace fs = std::filesystem;

namespace {

// Longer than any backup here takes with the server answering: a server woken only then let a
// backup end that should have been given up long before.
constexpr std::chrono::seconds kFrozenFor{60};

// A library on a server of the test's own, with enough registrations that its backup streams for a
// while, and that server frozen (SIGSTOP) once the backup's first bytes have arrived.
class FrozenServerBackup : public ProgramTest {
protected:
    void SetUp() override {
        if (TestDatabaseLocation::ThroughServer()) {
            GTEST_SKIP() << "runs a server of its own in the embedded run";
        }
        server.emplace();
        settings.serverPrefix = server->prefix();
        CreateLibrary(settings, 3, 2);
        Database database(settings);
        database.ConnectDatabase();
        AddRegistrations(database, 1, 100000);
    }
    void TearDown() override {
        if (freezer.joinable()) {
            finished = true;
            freezer.join();
        }
        if (server) {
            server->Signal(SIGCONT);
        }
    }

    // Freezes the server once a backup's unfinished file in `folder` holds bytes, and wakes it
    // kFrozenFor later unless the test has finished by then.
    void FreezeWhenStreaming(const fs::path& folder) {
        freezer = std::thread([this, folder] {
            while (!finished && !frozen) {
                for (const fs::path& item : FolderItems(folder)) {
                    std::error_code error;
                    if (item.filename().string().find(".part.") != std::string::npos &&
                        fs::file_size(item, error) > 0 && !error) {
                        frozen = server->Signal(SIGSTOP);
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            for (auto until = std::chrono::steady_clock::now() + kFrozenFor;
                 !finished && std::chrono::steady_clock::now() < until;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            wokenToEnd = !finished;
            server->Signal(SIGCONT);
        });
    }

    TestDatabaseLocation location;
    ConnectionSettings settings = location.settings();
    std::optional<OwnServer> server;
    std::thread freezer;
    std::atomic<bool> finished{false};
    std::atomic<bool> frozen{false};
    std::atomic<bool> wokenToEnd{false};
};

}  // namespace

TEST_F(FrozenServerBackup, aBackupWhoseServerStopsAnsweringIsGivenUpAtItsDeadlineAndLeavesNothing) {
    QTemporaryDir backups;
    const fs::path folder = fs::path(backups.path().toStdString()) / "QRTDB";
    BackupJob job{settings, folder, backups.path().toStdString(),
                  static_cast<std::int64_t>(std::time(nullptr)), false};
    job.serviceDeadline = std::chrono::seconds(8);
    FreezeWhenStreaming(folder);
    const CancelFlag goOn{false};
    const BackupReport report = MakeVerifiedBackup(job, goOn, [](BackupStage) {});
    EXPECT_FALSE(wokenToEnd) << "the backup waited until the server was woken";
    finished = true;
    ASSERT_TRUE(frozen);
    EXPECT_EQ(report.result, BackupResult::Failed);
    EXPECT_NE(report.words.find("no answer"), std::string::npos) << report.words;
    EXPECT_TRUE(FolderItems(folder).empty());
}

TEST_F(FrozenServerBackup, theProgramEndsInOrderWhileItsBackupWaitsForAServerThatStoppedAnswering) {
    WriteSettings(settings);
    const QString copy = appFolder.filePath(QStringLiteral("qarto-groups"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QARTO_PROGRAM), copy));
    const fs::path folder =
        fs::path(appFolder.path().toStdString()) / "backups" / DatabaseFolderName(settings);
    // The last run ended hard: the program checks the database at once and backs it up right after.
    attachment_marker::Place(folder);
    FreezeWhenStreaming(folder);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(copy, {});
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return frozen.load(); }, 60000));
    QTest::qWait(500);  // the backup's next call now waits for the frozen server
    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    const bool ended = program.waitForFinished(5000);
    finished = true;
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    ASSERT_TRUE(ended) << "still running five seconds after the signal";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    // Nothing of the unfinished backup is left behind.
    for (const fs::path& item : FolderItems(folder)) {
        EXPECT_TRUE(item.filename() == "attached") << item;
    }
}
