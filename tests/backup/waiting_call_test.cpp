#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <optional>

#include "platform/background_work.h"
#include "backup_program.h"
#include "storage/schema.h"

namespace {

// Another desktop's uncommitted registration N = 100 of group 2, and the same number registered here:
// our insert waits for the other desktop's transaction, while this thread's events turn.
class WaitingCall {
public:
    explicit WaitingCall(const ConnectionSettings& settings) : holder_(std::in_place, settings, 2) {}

    // Runs `duringWait` on each turn of the events while `database` waits, until it answers true;
    // then the other desktop lets go. False when the call did not wait.
    bool Make(Database& database, const std::function<bool()>& duringWait) {
        bool waited = false;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&] {
            if (Database::Waiting() && duringWait()) {
                waited = true;
                holder_.reset();
            }
        });
        turn.start(20);
        const FileRecord row{"100", "'here.qrt'", "'/here/'"};
        database.InsertRow(FileTableName(2), FileColumnNames(), row);
        holder_.reset();
        return waited;
    }

private:
    std::optional<UncommittedWrite> holder_;
};

void TurnEvents(const std::function<bool()>& waitABit) {
    while (!waitABit()) {
        QCoreApplication::processEvents();
    }
}

}  // namespace

// Embedded or through a server, a call that waits for a lock lets the window's events turn.
TEST(BackgroundWorkAnswer, waitsWhileTheWindowWaitsForACall) {
    TestDatabaseLocation location;
    CreateLibrary(location.settings(), 3, 2);
    Database database(location.settings());
    database.SetWaiter(TurnEvents);
    database.ConnectDatabase();
    WaitingCall call(location.settings());

    BackgroundWork work;
    std::atomic<bool> workEnded{false};
    bool answered = false;
    bool answeredWhileWaiting = false;
    int turnsAfterTheEnd = 0;
    ASSERT_TRUE(call.Make(database, [&] {
        if (!work.Busy()) {
            work.Start([&](const CancelFlag&) -> BackgroundWork::Done {
                workEnded = true;
                return [&] {
                    answered = true;
                    answeredWhileWaiting = Database::Waiting();
                };
            });
        }
        // The answer has had its turns of the events by the time the other desktop lets go.
        return workEnded && ++turnsAfterTheEnd > 10;
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 10000));
    EXPECT_FALSE(answeredWhileWaiting);
}

TEST_F(BackupProgram, theDatabaseSwitchRefusesWhileACommandWaitsAndTheSettingsKeepTheOldOne) {
    TestDatabaseLocation elsewhere;
    CreateLibrary(elsewhere.settings(), 1, 1);
    StartProgram(3600 * 1000);
    WaitingCall call(location.settings());
    ASSERT_TRUE(call.Make(board().database(), [&] {
        board().SwitchDatabase(elsewhere.settings());
        return true;
    }));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(
        prompts.messages[0],
        QStringLiteral("使用中のデータベースから切断できないため、データベースを切り替えられませんでした。"));
    EXPECT_EQ(context.settings.dataFolder, location.folder());
    EXPECT_EQ(context.settings.databaseName, "TEST.FDB");
    ASSERT_TRUE(board().database().Attached());
    EXPECT_EQ(board().database().CountRows(kGroupTable, ""), 3);
}
