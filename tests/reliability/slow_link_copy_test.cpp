#include <QTest>
#include <chrono>
#include <optional>

#include "outside_tools.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "support/file_rows.h"
#include "support/full_length_names.h"
#include "support/slow_link.h"

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kOneWay{10};
constexpr std::chrono::milliseconds kDeadline{2000};
constexpr int kFiles = 300;

// The program reaches a server of the test's own over a link with a round trip of 20 ms, as a desktop
// over a VPN does; group 1 holds registrations with full-length names and folders.
class SlowLinkCopy : public ProgramTest {
protected:
    void SetUp() override {
        if (TestDatabaseLocation::ThroughServer()) {
            GTEST_SKIP() << "runs a server of its own in the embedded run";
        }
        server.emplace();
        ConnectionSettings direct = location.settings();
        direct.serverPrefix = server->prefix();
        other = std::make_unique<Database>(direct);
        other->CreateDatabase();
        ASSERT_TRUE(other->Attached()) << other->LastError();
        ASSERT_TRUE(CreateGroupTable(*other));
        InsertGroupRow(*other, 1, FullLengthName("g", 32), "", 0, 100);
        ASSERT_TRUE(CreateFileTable(*other, FileTableName(1)));
        ASSERT_TRUE(other->WriteTogether([&] {
            for (int n = 1; n <= kFiles; ++n) {
                InsertFileRow(*other, 1, n, FullLengthName(std::to_string(n)),
                              FullLengthFolder(std::to_string(n % 7)));
            }
            return true;
        }));
        link.emplace(server->port(), kOneWay);
        ConnectionSettings slow = direct;
        slow.serverPrefix = "127.0.0.1/" + std::to_string(link->Port()) + ":";
        WriteSettings(slow);
        Start();
        ASSERT_TRUE(board().database().Attached());
    }
    void TearDown() override { windows.reset(); }

    TestDatabaseLocation location;
    std::optional<OwnServer> server;
    std::unique_ptr<Database> other;  // straight to the server: another desktop
    std::optional<SlowLink> link;
};

}  // namespace

TEST_F(SlowLinkCopy, aGroupCopyThatTakesLongerThanACallMayTakeStillSucceeds) {
    TForm1& form = board();
    form.database().SetStatementDeadline(kDeadline);
    SelectInPanel(form, 1);
    prompts.AnswerNextQuestion(true);
    const long long before = link->RoundTrips();
    form.mnuCopyGroup->trigger();
    // Every round trip waits out the link: the copy took longer than one call may.
    EXPECT_GT((link->RoundTrips() - before) * 2 * kOneWay, kDeadline);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(form.database().Lost());
    const std::vector<FileRecord> copied = ReadFileRows(*other, 2);
    EXPECT_EQ(copied.size(), static_cast<std::size_t>(kFiles));
    EXPECT_TRUE(copied == ReadFileRows(*other, 1));  // every row as it stands in the source
    EXPECT_NE(IconOf(form, 2), nullptr);
}
