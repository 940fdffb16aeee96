#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <future>
#include <thread>

#include "common/sql_literal.h"
#include "program_fixture.h"
#include "relink/missing_files_window.h"
#include "storage/schema.h"
#include "support/full_length_names.h"

namespace {

constexpr int kGroups = 2000;
constexpr int kFilesPerGroup = 10;
// Creating a table takes a while: a statement creates a hundred of them.
constexpr int kTablesPerStatement = 100;

// The program on a library of 2,000 groups, each with registrations of full-length names whose
// files are gone, on the private server; `other` is another desktop.
class DeleteDuringScan : public ProgramTest {
protected:
    void SetUp() override {
        if (!TestDatabaseLocation::ThroughServer()) {
            GTEST_SKIP() << "an embedded read ends its transaction at once; through a server the reads "
                            "of background work share one";
        }
        other.CreateDatabase();
        ASSERT_TRUE(other.Attached()) << other.LastError();
        ASSERT_TRUE(CreateGroupTable(other));
        FillLibrary();
        WriteSettings(location.settings());
        Start();
        ASSERT_TRUE(board().database().Attached());
    }
    void TearDown() override { windows.reset(); }

    void FillLibrary() {
        for (int first = 1; first <= kGroups; first += kTablesPerStatement) {
            ASSERT_TRUE(other.ExecuteScript(
                {"EXECUTE BLOCK AS DECLARE I INTEGER = " + std::to_string(first) + "; BEGIN",
                 "WHILE (I < " + std::to_string(first + kTablesPerStatement) + ") DO BEGIN",
                 "  EXECUTE STATEMENT 'CREATE TABLE GRP_' || I || ' (N INTEGER NOT NULL UNIQUE, "
                 "FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))';",
                 "  I = I + 1;", "END END"}))
                << other.LastError();
        }
        ASSERT_TRUE(other.ExecuteScript(
            {"EXECUTE BLOCK AS", "DECLARE I INTEGER = 1;",
             "DECLARE NAME VARCHAR(255) = " + SqlText(FullLengthName("")) + ";",
             "DECLARE FOLDER VARCHAR(255) = " + SqlText(FullLengthFolder("")) + ";", "BEGIN",
             "WHILE (I <= " + std::to_string(kGroups) + ") DO BEGIN",
             "  INSERT INTO GRPQRT (N, GRPNAME, X, Y) VALUES (:I, 'G' || :I, MOD(:I, 40) * 64, :I / 40 * "
             "64);",
             "  EXECUTE STATEMENT ('INSERT INTO GRP_' || I || ' SELECT F, ?, ? FROM (WITH RECURSIVE R (F) AS "
             "(SELECT 1 FROM RDB$DATABASE UNION ALL SELECT F + 1 FROM R WHERE F < " +
                 std::to_string(kFilesPerGroup) + ") SELECT F FROM R)') (NAME, FOLDER);",
             "  I = I + 1;", "END END"}))
            << other.LastError();
    }

    TestDatabaseLocation location;
    Database other{location.settings()};
};

}  // namespace

TEST_F(DeleteDuringScan, groupsDeletedHereAndOnAnotherDesktopWhileTheScanRunsAreGoneBeforeItEnds) {
    MissingFilesWindow& window = *windows->relink.missingFiles;
    QProgressBar* progress = window.findChild<QProgressBar*>(QStringLiteral("Progress"));
    window.Open();
    // The scan has read the rows of groups 10 and 20 when they are deleted; the read transaction
    // that read group 20 may still be under way.
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress->value() > 20; }, 120000));
    ASSERT_TRUE(window.Busy());
    // Another desktop deletes group 20 as the program does, while this one goes on with its events.
    QElapsedTimer waited;
    waited.start();
    std::future<bool> deleted = std::async(std::launch::async, [&] {
        return other.WriteTogether(
            [&] { return other.DeleteRows(kGroupTable, "N=20") && other.DropTable(FileTableName(20)); });
    });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return deleted.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 120000));
    RecordProperty("otherDesktopsDeleteMs", static_cast<int>(waited.restart()));
    EXPECT_TRUE(window.Busy()) << "the scan had ended before the other desktop's delete";
    EXPECT_TRUE(deleted.get()) << other.LastError();

    // This desktop deletes group 10 with its command.
    SelectInPanel(board(), 10);
    prompts.AnswerNextQuestion(true);
    board().mnuDeleteGroup->trigger();
    RecordProperty("thisDesktopsDeleteMs", static_cast<int>(waited.elapsed()));
    EXPECT_TRUE(window.Busy()) << "the scan had ended before this desktop's delete";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(QLatin1Char('\n')).toStdString();

    for (const int gone : {10, 20}) {
        EXPECT_FALSE(other.TableExists(FileTableName(gone))) << gone;
        EXPECT_EQ(other.CountRows(kGroupTable, "N=" + std::to_string(gone)), 0) << gone;
    }
    EXPECT_EQ(IconOf(board(), 10), nullptr);
    // The scan goes on to its end, the groups gone left out.
    waited.restart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Busy(); }, 120000));
    RecordProperty("restOfTheScanMs", static_cast<int>(waited.elapsed()));
    EXPECT_EQ(progress->value(), kGroups);
}
