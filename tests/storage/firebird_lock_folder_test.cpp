#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>

#include "storage/database.h"
#include "storage/firebird_lock_folder.h"
#include "storage/schema.h"
#include "support/test_database.h"

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const QTemporaryDir& dir) {
    return dir.path().toStdString();
}

struct ToolRun {
    bool succeeded = false;
    QByteArray output;
};

// A Firebird command-line tool as another process would run it: its engine keeps its locks in
// `lockFolder`, not in this process's.
ToolRun RunWithLockFolder(const QString& program, const QStringList& arguments, const QString& lockFolder,
                          const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), lockFolder);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(60000);
    return {finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            process.readAll()};
}

}  // namespace

TEST(FirebirdLockFolder, theUsersRuntimeFolderHoldsItElseAPrivateFolderInTheSharedTemporaryFolder) {
    QTemporaryDir runtime, shared;
    const fs::path inRuntime = PathOf(runtime) / "qarto-groups" / "firebird";
    EXPECT_EQ(OwnLockFolder(runtime.path().toLocal8Bit().constData(), PathOf(shared)), inRuntime);
    EXPECT_TRUE(fs::is_empty(PathOf(shared)));

    const fs::path inShared = PathOf(shared) / ("qarto-groups-" + std::to_string(geteuid())) / "firebird";
    EXPECT_EQ(OwnLockFolder("relative/runtime", PathOf(shared)), inShared);
    for (const fs::path& made : {inRuntime.parent_path(), inShared.parent_path()}) {
        EXPECT_EQ(fs::symlink_status(made).permissions(), fs::perms::owner_all) << made;
    }
}

TEST(FirebirdLockFolder, aLinkOrAFolderOthersMayWriteAtThatNameIsNeverUsed) {
    QTemporaryDir shared, elsewhere;
    const fs::path own = PathOf(shared) / ("qarto-groups-" + std::to_string(geteuid()));
    fs::create_directory_symlink(PathOf(elsewhere), own);
    EXPECT_TRUE(OwnLockFolder(nullptr, PathOf(shared)).empty());
    EXPECT_TRUE(fs::is_empty(PathOf(elsewhere)));

    fs::remove(own);
    fs::create_directory(own);
    fs::permissions(own, fs::perms::all);
    EXPECT_TRUE(OwnLockFolder(nullptr, PathOf(shared)).empty());
}

// The engine's exclusive flock() on the database file keeps out every other engine, whatever lock
// folder it uses, and a server: nothing writes the file while this process holds it.
TEST(FirebirdLockFolder, whileHeldEmbeddedNoOtherEngineOrServerOpensTheFile) {
    TestDatabaseLocation location;
    ConnectionSettings embedded = location.settings();
    embedded.serverPrefix.clear();
    const QString file = QString::fromStdString(embedded.DatabasePath());
    QTemporaryDir otherLocks;
    {
        Database held(embedded);
        held.CreateDatabase();
        ASSERT_TRUE(held.Attached()) << held.LastError();
        ASSERT_TRUE(CreateGroupTable(held));

        const ToolRun isql =
            RunWithLockFolder(QStringLiteral("isql-fb"),
                              {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                               QStringLiteral("-password"), QStringLiteral("riverbank"), file},
                              otherLocks.path(), "insert into GRPQRT (N) values (2);\ncommit;\nquit;\n");
        EXPECT_FALSE(isql.succeeded) << isql.output.toStdString();
        EXPECT_TRUE(isql.output.contains("lock")) << isql.output.toStdString();

        if (TestDatabaseLocation::ThroughServer()) {
            Database server(location.settings());
            server.ConnectDatabase();
            EXPECT_FALSE(server.Attached());
            EXPECT_NE(server.LastError().find("lock"), std::string::npos) << server.LastError();
        }
        EXPECT_TRUE(held.InsertRow("GRPQRT", std::vector<std::string>{"N"}, std::vector<std::string>{"1"}));
        EXPECT_EQ(held.CountRows("GRPQRT", ""), 1);
    }
    const ToolRun validation = RunWithLockFolder(
        QStringLiteral("gfix"),
        {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
         QStringLiteral("-password"), QStringLiteral("riverbank"), file},
        otherLocks.path());
    EXPECT_TRUE(validation.succeeded);
    EXPECT_EQ(validation.output, QByteArray()) << validation.output.toStdString();
}
