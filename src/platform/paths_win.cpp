#include "platform/paths.h"

QString FolderSeparator() { return QStringLiteral("\\"); }

std::string_view PathSeparators() { return "\\:"; }

QString DataFolderExample() { return QStringLiteral("C:\\data\\"); }
