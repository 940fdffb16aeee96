#include "platform/paths.h"

#include <QDir>

QString FolderSeparator() {
    return QStringLiteral("/");
}

std::string_view PathSeparators() {
    return "/";
}

QString DataFolderExample() {
    return QStringLiteral("/data/");
}

QString UserCacheFolder() {
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return !cache.isEmpty() && QDir::isAbsolutePath(cache) ? cache
                                                           : QDir::homePath() + QStringLiteral("/.cache");
}
