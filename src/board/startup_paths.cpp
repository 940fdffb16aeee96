#include "board/startup_paths.h"

#include <QDir>
#include <QFile>

#include "common/settings_place.h"
#include "platform/paths.h"

namespace {

// Index of the last folder separator, either Qt's "/" or the platform's own; -1 when there is none.
qsizetype LastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(FolderSeparator()));
}

}  // namespace

QString AppDirOf(const QString& executablePath) {
    return QDir::toNativeSeparators(executablePath.left(LastSeparator(executablePath) + 1));
}

QString SettingsFileOf(const QString& executablePath) {
    const qsizetype dot = executablePath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > LastSeparator(executablePath) ? executablePath.left(dot) : executablePath;
    return stem + QStringLiteral(".dat");
}

QString SettingsFileFor(const QString& executablePath) {
    const std::string beside = QFile::encodeName(SettingsFileOf(executablePath)).toStdString();
    return QFile::decodeName(SettingsFilePlace(beside, UserConfigFolder()).string().c_str());
}
