#include <sys/stat.h>

#include <QFile>

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

// One stat for all three facts: a list of thousands of files looks at each of them.
std::optional<FileFacts> FindFileFacts(const QString& path) {
    struct stat facts;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &facts) != 0) {
        return std::nullopt;
    }
    const qint64 written = qint64{facts.st_mtim.tv_sec} * 1000 + facts.st_mtim.tv_nsec / 1000000;
    return FileFacts{facts.st_size, FileTimeText(QDateTime::fromMSecsSinceEpoch(written, Qt::LocalTime)),
                     S_ISREG(facts.st_mode)};
}
