#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>

#include "program_fixture.h"

namespace {

using SettingsDiskFull = ProgramTest;

// While it lives, writing any byte to a file fails (EFBIG), as on a full disk.
class NoByteCanBeWritten {
public:
    NoByteCanBeWritten() : ignored_(signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~NoByteCanBeWritten() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, ignored_);
    }
    NoByteCanBeWritten(const NoByteCanBeWritten&) = delete;
    NoByteCanBeWritten& operator=(const NoByteCanBeWritten&) = delete;

private:
    sighandler_t ignored_;
    rlimit saved_{};
};

QByteArray ContentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// The disk is full when the program closes: every byte written to the new settings file is
// refused, as a file size limit of 0 refuses them.
TEST_F(SettingsDiskFull, closingKeepsThePreviousSettingsFileWhole) {
    ConnectionSettings connection = ConnectionSettings::Defaults();
    connection.serverPrefix = "kept:";
    WriteSettings(connection);
    const QByteArray previous = ContentOf(SettingsPath());
    const QStringList before = QDir(appFolder.path()).entryList();

    Start();
    board().move(board().pos() + QPoint(40, 30));  // something to save
    {
        const NoByteCanBeWritten full;
        board().close();
    }
    EXPECT_EQ(ContentOf(SettingsPath()), previous);
    EXPECT_EQ(QDir(appFolder.path()).entryList(), before);  // the failed attempt is cleaned away

    // The next start reads the previous settings.
    windows.reset();
    Start();
    EXPECT_EQ(context.settings.serverPrefix, "kept:");
    EXPECT_EQ(board().pos(), QPoint(192, 107));
}
