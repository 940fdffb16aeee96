#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/settings_file.h"
#include "program_fixture.h"

namespace {

using SettingsDiskFull = ProgramTest;

QByteArray ContentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// The disk is full when the program closes: every byte written to the new settings file is
// refused, as /dev/full refuses them.
TEST_F(SettingsDiskFull, closingKeepsThePreviousSettingsFileWhole) {
    ConnectionSettings connection = ConnectionSettings::Defaults();
    connection.serverPrefix = "kept:";
    WriteSettings(connection);
    const QByteArray previous = ContentOf(SettingsPath());
    const QString temporary =
        QFile::decodeName(SettingsTemporaryPath(QFile::encodeName(SettingsPath()).toStdString()).c_str());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), temporary));

    Start();
    board().move(board().pos() + QPoint(40, 30));  // something to save
    board().close();
    EXPECT_EQ(ContentOf(SettingsPath()), previous);
    EXPECT_FALSE(QFileInfo(temporary).isSymLink());  // the failed attempt is cleaned away

    // The next start reads the previous settings.
    windows.reset();
    Start();
    EXPECT_EQ(context.settings.serverPrefix, "kept:");
    EXPECT_EQ(board().pos(), QPoint(192, 107));
}
