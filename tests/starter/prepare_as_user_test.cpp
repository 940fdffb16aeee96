#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>

#include "storage/database.h"

namespace fs = std::filesystem;

namespace {

// Firebird's default lock folder; Debian's server package makes it mode 0770 firebird:firebird.
constexpr const char* kSharedLockFolder = "/tmp/firebird";
constexpr uid_t kNobody = 65534;

// Root makes the shared lock folder as the server package does when nobody has made it yet, so that
// it stands in the way as on a user's machine.
void MakeSharedLockFolderAsTheServerPackageDoes() {
    const passwd* firebird = getpwnam("firebird");
    if (geteuid() == 0 && firebird != nullptr && mkdir(kSharedLockFolder, 0770) == 0) {
        chmod(kSharedLockFolder, 0770);
        EXPECT_EQ(chown(kSharedLockFolder, firebird->pw_uid, firebird->pw_gid), 0);
    }
}

// Why the shared lock folder does not keep `uid` out here, or empty when it does.
std::string WhySharedLockFolderIsOpenTo(uid_t uid) {
    MakeSharedLockFolderAsTheServerPackageDoes();
    struct stat facts {};
    if (lstat(kSharedLockFolder, &facts) != 0) {
        return std::string(kSharedLockFolder) + " does not exist and no user firebird owns one";
    }
    if (facts.st_uid == uid || (facts.st_mode & S_IRWXO) == S_IRWXO) {
        return std::string(kSharedLockFolder) + " is open to uid " + std::to_string(uid);
    }
    return {};
}

}  // namespace

// The real set-up tool, run as a user whom the shared lock folder keeps out (root runs it as nobody),
// with no FIREBIRD_LOCK of its own, in a home of its own.
TEST(PrepareAsUser, anEmbeddedDatabaseIsMadeWhereTheSharedLockFolderIsClosedToTheUser) {
    const bool root = geteuid() == 0;
    const uid_t user = root ? kNobody : geteuid();
    if (const std::string open = WhySharedLockFolderIsOpenTo(user); !open.empty()) {
        GTEST_SKIP() << "the default lock folder stands in nobody's way here: " << open;
    }
    QTemporaryDir dir;
    const fs::path home = dir.path().toStdString();
    const fs::path runtime = home / "run";
    const fs::path tool = home / "qarto-groups-prepare";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    fs::copy_file(QARTO_PREPARE, tool);
    if (root) {
        for (const fs::path& path : {home, runtime, tool}) {
            ASSERT_EQ(chown(path.c_str(), user, user), 0);
        }
    }

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FIREBIRD_LOCK"));
    environment.insert(QStringLiteral("HOME"), dir.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.string()));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList arguments{QString::fromStdString(tool.string()), dir.filePath("qarto-groups.dat"),
                                dir.filePath("data")};
    if (root) {
        process.start(QStringLiteral("setpriv"),
                      QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + arguments);
    } else {
        process.start(arguments[0], arguments.mid(1));
    }
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAll().toStdString();

    ConnectionSettings settings = ConnectionSettings::Defaults();
    settings.serverPrefix.clear();
    settings.dataFolder = (home / "data/").string();
    Database database(settings);
    database.ConnectDatabase();
    EXPECT_TRUE(database.Attached()) << database.LastError();
}
