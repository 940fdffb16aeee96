#include <signal.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <array>
#include <thread>

#include "board/read_group_row.h"
#include "common/sql_literal.h"
#include "outside_tools.h"
#include "program_fixture.h"
#include "storage/schema.h"

namespace {

constexpr int kFiles = 3000;
// Set in the child run: the settings file to start from, and the INSERT at which the program dies.
constexpr const char* kSettingsVariable = "QARTO_CUT_COPY_SETTINGS";
constexpr const char* kDieAtVariable = "QARTO_CUT_COPY_AT";

// Group 1 "A" with 3,000 registrations; the program is asked to copy it.
class CopyCutShort : public BoardTest {
protected:
    void StoreGroupWithFiles() {
        InsertGroup(1, "A", "", 0, 0);
        ASSERT_TRUE(CreateFileTable(other, FileTableName(1)));
        ASSERT_TRUE(other.WriteTogether([&] {
            for (int n = 1; n <= kFiles; ++n) {
                const std::array<std::string, 3> values{
                    SqlNumber(n), SqlText("f" + std::to_string(n) + ".dwg"), SqlText("/d/")};
                if (!other.InsertRow(FileTableName(1), FileColumnNames(), values)) {
                    return false;
                }
            }
            return true;
        }));
    }
    void CopyGroupOne() {
        SelectInPanel(board(), 1);
        prompts.AnswerNextQuestion(true);
        board().mnuCopyGroup->trigger();
    }
};

using CopyCutShortChild = ProgramTest;

// The child's share: the program copies and is killed as the `dieAt`-th INSERT is sent.
TEST_F(CopyCutShortChild, copiesUntilKilled) {
    const QByteArray settings = qgetenv(kSettingsVariable);
    if (settings.isEmpty()) {
        GTEST_SKIP() << "run by CopyCutShort.leavesNoGroupAndASoundDatabase in a process of its own";
    }
    ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(settings), SettingsPath()));
    Start();
    const int dieAt = qgetenv(kDieAtVariable).toInt();
    int inserts = 0;
    board().database().SetStatementTrace([&](const std::string& text) {
        if (text.starts_with("INSERT") && ++inserts == dieAt) {
            raise(SIGKILL);
        }
    });
    SelectInPanel(board(), 1);
    prompts.AnswerNextQuestion(true);
    board().mnuCopyGroup->trigger();
    ADD_FAILURE() << "the copy finished before its INSERT number " << dieAt;
}

TEST_F(CopyCutShort, leavesNoGroupAndASoundDatabase) {
    StoreGroupWithFiles();
    other.DisconnectDatabase();
    // The master row, the first file, one in the middle and the last.
    for (const int dieAt : {1, 2, kFiles / 2, kFiles + 1}) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kSettingsVariable, SettingsPath());
        environment.insert(kDieAtVariable, QString::number(dieAt));
        // What the killed child leaves in its temporary folders goes with this test's.
        environment.insert(QStringLiteral("TMPDIR"), QString::fromStdString(location.folder()));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=CopyCutShortChild.copiesUntilKilled")});
        ASSERT_TRUE(child.waitForFinished(120000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "killed at INSERT " << dieAt;

        Database after(location.settings());
        after.ConnectDatabase();
        ASSERT_TRUE(after.Attached()) << after.LastError();
        EXPECT_EQ(after.CountRows(kGroupTable, ""), 1) << "killed at INSERT " << dieAt;
        EXPECT_LE(after.CountRows(FileTableName(2), ""), 0) << "killed at INSERT " << dieAt;
        after.DisconnectDatabase();
        const std::string path = location.settings().DatabasePath();
        EXPECT_TRUE(RunTool(
            QStringLiteral("gfix"),
            {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
             QStringLiteral("-password"), QStringLiteral("riverbank"), QString::fromStdString(path)}));
    }
}

TEST_F(CopyCutShort, theCopysNumberIsKeptFromAnotherDesktopWhileItIsMade) {
    StoreGroupWithFiles();
    Start();
    std::optional<bool> otherTookNumber;
    std::thread otherDesktop;
    board().database().SetStatementTrace([&](const std::string& text) {
        // Half-way through the copy another desktop creates a group under the number it would propose.
        if (text.starts_with("INSERT INTO GRP_2") && text.find("   1500,") != std::string::npos) {
            otherDesktop = std::thread([&] {
                const std::array<std::string, 2> values{"2", "'other'"};
                otherTookNumber =
                    other.InsertRow(kGroupTable, std::array<std::string, 2>{"N", "GRPNAME"}, values);
            });
        }
    });
    CopyGroupOne();
    ASSERT_TRUE(otherDesktop.joinable());
    otherDesktop.join();
    board().database().SetStatementTrace({});
    EXPECT_EQ(otherTookNumber, false);
    EXPECT_EQ(ReadGroupRow(other, 2)[kGroupName], "A");
    EXPECT_EQ(other.CountRows(FileTableName(2), ""), kFiles);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

}  // namespace
