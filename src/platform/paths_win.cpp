#include "platform/paths.h"

#include <QStandardPaths>

QString FolderSeparator() {
    return QStringLiteral("\\");
}

std::string_view PathSeparators() {
    return "\\:";
}

QString DataFolderExample() {
    return QStringLiteral("C:\\data\\");
}

QString UserCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
}
