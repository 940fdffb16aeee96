#include <windows.h>

#include <QDir>

#include "platform/codec.h"
#include "platform/file_facts.h"

// The ANSI calls take code-page paths; a path the code page cannot hold names no file.

bool FileExists(const QString& path) {
    const std::optional<std::string> bytes = ToCp932(path);
    if (!bytes) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(bytes->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool StoredFileExists(std::string_view cp932Path) {
    const std::string bytes(cp932Path);
    const DWORD attributes = GetFileAttributesA(bytes.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The ANSI code page is the stored one: a name reads back in the form the file system keeps.
QString StoredPathOnDisk(std::string_view cp932Path) {
    return FromCp932(cp932Path);
}

std::optional<FileFacts> FindFileFacts(const QString& path) {
    const std::optional<std::string> bytes = ToCp932(path);
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(bytes->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    FindClose(search);
    FILETIME local;
    SYSTEMTIME parts;
    QString lastWrite;
    if (FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &parts)) {
        lastWrite = FileTimeText(QDateTime(QDate(parts.wYear, parts.wMonth, parts.wDay),
                                           QTime(parts.wHour, parts.wMinute, parts.wSecond)));
    }
    const std::int64_t size = (static_cast<std::int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return FileFacts{size, lastWrite, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
}

bool OnSharedFileSystem(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    if (native.startsWith(QStringLiteral("\\\\"))) {
        return true;  // a share named by its server
    }
    const std::wstring root = native.left(3).toStdWString();
    return native.size() >= 2 && native[1] == QLatin1Char(':') && GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
}

// Drives and shares name their own roots.
std::vector<std::string> MountedFolders() {
    return {};
}
