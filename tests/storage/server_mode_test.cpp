#include <firebird/Interface.h>
#include <gtest/gtest.h>

#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "storage/firebird_lock_folder.h"
#include "storage/firebird_server_mode.h"

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const QTemporaryDir& dir) {
    return dir.path().toStdString();
}

// A Firebird configuration folder as the FIREBIRD variable names one: what the installation's root
// folder holds, and a firebird.conf of its own that sets `mode`.
void WriteFirebirdRoot(const fs::path& root, const char* mode) {
    const fs::path installed = Firebird::fb_get_master_interface()->getConfigManager()->getRootDirectory();
    for (const fs::directory_entry& entry : fs::directory_iterator(installed)) {
        if (entry.path().filename() != "firebird.conf") {
            fs::create_symlink(entry.path(), root / entry.path().filename());
        }
    }
    std::ofstream(root / "firebird.conf") << "ServerMode = " << mode << "\n";
}

// Each line's first word and the rest.
using Facts = QMap<QString, QString>;

// The program's way of opening databases, in a process of its own started with FIREBIRD naming
// `root` and FIREBIRD_LOCK set to `lockFolder` (unset when empty), on an embedded database in
// `folder`; XDG_RUNTIME_DIR names `runtime` when one is given.
Facts Probe(const fs::path& root, const fs::path& lockFolder, const fs::path& folder,
            const fs::path& runtime = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), QString::fromStdString(root.string()));
    environment.remove(QStringLiteral("FIREBIRD_LOCK"));
    if (!lockFolder.empty()) {
        environment.insert(QStringLiteral("FIREBIRD_LOCK"), QString::fromStdString(lockFolder.string()));
    }
    if (!runtime.empty()) {
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.string()));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QARTO_ENGINE_PROBE), {QString::fromStdString(folder.string())});
    Facts facts;
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return facts;
    }
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space > 0) {
            facts.insert(line.left(space), line.mid(space + 1));
        }
    }
    return facts;
}

}  // namespace

TEST(ServerMode, namesAreReadAsTheEngineReadsThem) {
    EXPECT_EQ(ServerModeNamed("Super"), ServerMode::Super);
    EXPECT_EQ(ServerModeNamed("threadeddedicated"), ServerMode::Super);
    EXPECT_EQ(ServerModeNamed("SuperClassic"), ServerMode::SuperClassic);
    EXPECT_EQ(ServerModeNamed("THREADEDSHARED"), ServerMode::SuperClassic);
    EXPECT_EQ(ServerModeNamed("classic"), ServerMode::Classic);
    EXPECT_EQ(ServerModeNamed("MultiProcess"), ServerMode::Classic);
    EXPECT_EQ(ServerModeNamed(""), ServerMode::Super);
    EXPECT_EQ(ServerModeNamed("Classic "), ServerMode::Super);
}

// firebird.conf as the Debian package installs it: the setting in a comment among many.
TEST(ServerMode, isReadFromTheConfigurationFileAsTheEngineReadsIt) {
    QTemporaryDir root;
    const fs::path conf = PathOf(root) / "firebird.conf";
    const auto mode = [&](const std::string& text) {
        std::ofstream(conf)
            << "# Firebird configuration\n#\n# ServerMode may be Super, SuperClassic or Classic\n#\n"
            << "#ServerMode = Super\n\nDefaultDbCachePages = 2048  # pages\n"
            << text;
        return ServerModeIn(conf, PathOf(root));
    };
    EXPECT_EQ(mode(""), ServerMode::Super);
    EXPECT_EQ(mode("servermode = classic   # the shared one\n"), ServerMode::Classic);
    EXPECT_EQ(mode("ServerMode=\"ThreadedShared\"\n"), ServerMode::SuperClassic);
    EXPECT_EQ(mode("ServerMode = Classic\nServerMode = Super\n"), ServerMode::Classic);
    std::ofstream(PathOf(root) / "modes.conf") << "ServerMode = SuperClassic\n";
    EXPECT_EQ(mode("include modes.conf\nServerMode = Super\n"), ServerMode::SuperClassic);
    EXPECT_EQ(mode("include $(root)/modes.conf\n"), ServerMode::SuperClassic);
    EXPECT_EQ(mode("include *.conf\n"), std::nullopt);
    EXPECT_EQ(mode("include $(dir_conf)/modes.conf\n"), std::nullopt);
    EXPECT_EQ(ServerModeIn(PathOf(root) / "none.conf", PathOf(root)), ServerMode::Super);
}

TEST(ServerMode, onlySuperGetsAFolderOfTheUsersOwn) {
    QTemporaryDir runtime, shared, firebirds;
    EXPECT_EQ(
        ChooseLockFolder(ServerMode::Super, nullptr, runtime.path().toLocal8Bit().constData(), PathOf(shared))
            .folder,
        PathOf(runtime) / "qarto-groups" / "firebird");
    for (ServerMode mode : {ServerMode::SuperClassic, ServerMode::Classic}) {
        EXPECT_TRUE(ChooseLockFolder(mode, nullptr, runtime.path().toLocal8Bit().constData(), PathOf(shared))
                        .folder.empty())
            << ServerModeName(mode);
    }
    // A folder FIREBIRD_LOCK names is Firebird's own, and stays, in every mode.
    const std::string named = PathOf(firebirds).string();
    for (ServerMode mode : {ServerMode::Super, ServerMode::SuperClassic, ServerMode::Classic}) {
        const LockFolderChoice choice = ChooseLockFolder(mode, named.c_str(), nullptr, PathOf(shared));
        EXPECT_TRUE(choice.folder.empty()) << ServerModeName(mode);
        EXPECT_TRUE(choice.refusal.empty()) << ServerModeName(mode);
    }
    // One the engine may still make inside a folder the user may write.
    const std::string missing = (PathOf(firebirds) / "firebird/").string();
    EXPECT_TRUE(
        ChooseLockFolder(ServerMode::Classic, missing.c_str(), nullptr, PathOf(shared)).refusal.empty());
}

TEST(ServerMode, sharedFilesWithALockFolderThatCannotBeWrittenAreRefusedSayingWhy) {
    QTemporaryDir scratch;
    const fs::path file = PathOf(scratch) / "a file";
    std::ofstream(file) << "not a folder";
    // A mode that cannot be told is taken as shared.
    const LockFolderChoice unknown = ChooseLockFolder(std::nullopt, file.c_str(), nullptr, PathOf(scratch));
    EXPECT_NE(unknown.refusal.find("firebird.conf"), std::string::npos) << unknown.refusal;
    for (const fs::path& folder : {file, file / "firebird"}) {
        const LockFolderChoice choice =
            ChooseLockFolder(ServerMode::SuperClassic, folder.c_str(), nullptr, PathOf(scratch));
        // The process's private databases have the engine keep their locks in a folder of the user's own.
        EXPECT_EQ(choice.folder, OwnLockFolder(nullptr, PathOf(scratch)).parent_path() / "firebird-private");
        EXPECT_NE(choice.refusal.find("SuperClassic"), std::string::npos) << choice.refusal;
        EXPECT_NE(choice.refusal.find(folder.string()), std::string::npos) << choice.refusal;
        EXPECT_NE(choice.refusal.find("サーバー経由"), std::string::npos) << choice.refusal;
    }
}

// The engine reads its configuration once per process: each of these starts a program of its own.
class ServerModeOfTheEngine : public ::testing::Test {
protected:
    ServerModeOfTheEngine() { fs::create_directory(folder); }

    QTemporaryDir root, locks, data;
    const fs::path folder = PathOf(data) / "図面 表ソ能";  // where the embedded database is made
};

TEST_F(ServerModeOfTheEngine, classicWithFirebirdsLockFolderWritableOpensEmbeddedDatabasesWithThatFolder) {
    WriteFirebirdRoot(PathOf(root), "MultiProcess");
    const fs::path firebirds = PathOf(locks) / "firebird";
    const Facts facts = Probe(PathOf(root), firebirds, folder);
    EXPECT_EQ(facts.value("mode"), "Classic");
    EXPECT_EQ(facts.value("lock"), QString::fromStdString(firebirds.string()));
    EXPECT_EQ(facts.value("refusal"), QString());
    EXPECT_EQ(facts.value("created"), "1 ");
    EXPECT_EQ(facts.value("attached"), "1 ");
    // The engine's lock table is in Firebird's own folder, where a server of the machine keeps its own.
    EXPECT_TRUE(fs::is_directory(firebirds) && !fs::is_empty(firebirds));
}

TEST_F(ServerModeOfTheEngine, sharedFilesWithoutAWritableLockFolderRefuseEmbeddedDatabasesSayingWhy) {
    WriteFirebirdRoot(PathOf(root), "SuperClassic");
    const fs::path file = PathOf(locks) / "a file";
    std::ofstream(file) << "not a folder";
    const Facts facts = Probe(PathOf(root), file, folder);
    EXPECT_EQ(facts.value("mode"), "SuperClassic");
    const QString refusal = facts.value("refusal");
    EXPECT_TRUE(refusal.contains("SuperClassic") && refusal.contains(QString::fromStdString(file.string())))
        << refusal.toStdString();
    EXPECT_EQ(facts.value("created"), "0 " + refusal);
    EXPECT_EQ(facts.value("attached"), "0 " + refusal);
    // A database of the process's own, which no other engine opens, is made all the same (a backup's
    // check copy): none of the user's is.
    EXPECT_EQ(facts.value("private"), "1 ");
    EXPECT_TRUE(fs::exists(folder / "PRIVATE.FDB"));
}

TEST_F(ServerModeOfTheEngine, superOpensEmbeddedDatabasesWithTheLockFolderItIsGiven) {
    WriteFirebirdRoot(PathOf(root), "Super");
    const fs::path named = PathOf(locks) / "firebird";
    const Facts facts = Probe(PathOf(root), named, folder);
    EXPECT_EQ(facts.value("mode"), "Super");
    EXPECT_EQ(facts.value("lock"), QString::fromStdString(named.string()));
    EXPECT_EQ(facts.value("refusal"), QString());
    EXPECT_EQ(facts.value("attached"), "1 ");
}

// Reading the mode must not fix the engine's lock folder before the program has chosen it.
TEST_F(ServerModeOfTheEngine, superKeepsItsLocksInTheFolderOfTheUsersOwnItChose) {
    WriteFirebirdRoot(PathOf(root), "Super");
    const fs::path own = PathOf(locks) / "qarto-groups" / "firebird";
    const Facts facts = Probe(PathOf(root), {}, folder, PathOf(locks));
    EXPECT_EQ(facts.value("lock"), QString::fromStdString(own.string()));
    EXPECT_EQ(facts.value("attached"), "1 ");
    EXPECT_TRUE(fs::is_directory(own) && !fs::is_empty(own));
}
