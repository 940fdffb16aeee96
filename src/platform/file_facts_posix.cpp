#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "common/codepage.h"
#include "platform/file_facts.h"

namespace {

bool IsFile(const char* fileSystemPath) {
    struct stat facts;
    return ::stat(fileSystemPath, &facts) == 0 && S_ISREG(facts.st_mode);
}

}  // namespace

bool FileExists(const QString& path) {
    return IsFile(QFile::encodeName(path).constData());
}

// File names are UTF-8 here: one conversion, not two through the widgets' text.
bool StoredFileExists(std::string_view cp932Path) {
    return IsFile(Utf8FromCp932(cp932Path).c_str());
}

std::optional<FileFacts> FindFileFacts(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return std::nullopt;
    }
    return FileFacts{info.size(), FileTimeText(info.lastModified().toLocalTime()), info.isFile()};
}
