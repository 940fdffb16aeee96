#include <QFileInfo>

#include "platform/file_facts.h"

bool FileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

std::optional<FileFacts> FindFileFacts(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return std::nullopt;
    }
    return FileFacts{info.size(), FileTimeText(info.lastModified().toLocalTime())};
}
