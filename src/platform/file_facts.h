#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the file list shows about a directory entry.
struct FileFacts {
    std::int64_t size = 0;  // in bytes, the full 64-bit size
    QString lastWriteTime;  // local time, see FileTimeText
    bool isFile = false;    // what FileExists answers for the same path
};

// True when a file (not a folder) exists at `path`.
bool FileExists(const QString& path);
// The same for a path as stored (code-page bytes), converted for the file system in one step.
bool StoredFileExists(std::string_view cp932Path);
// The path on disk of a path as stored, with its names in whichever form the file system holds them
// (see PathAsOnDisk); the path converted as it is when nothing of it is found.
QString StoredPathOnDisk(std::string_view cp932Path);
// The entry at `path` whatever it is (a folder too); nothing when there is none.
std::optional<FileFacts> FindFileFacts(const QString& path);

// True when the folder at `path` lies on a file system other computers share (NFS, SMB, a network
// drive); it may wait on that file system.
bool OnSharedFileSystem(const QString& path);

// "yyyy/MM/dd hh:mm:ss" of a local time, with the seconds rounded down to an even number: the
// resolution of the packed file dates that the times have always been shown in.
QString FileTimeText(const QDateTime& localTime);
// The same of a local date and time of day, both valid.
QString FileTimeText(QDate date, QTime time);

// The folders file systems are mounted at (UTF-8), read from the system's table without looking at
// any of them; none where drives and shares name their own roots.
std::vector<std::string> MountedFolders();
