#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

// Writes `bytes` to `path` (its folders made) and dates it `modified` (seconds since 1970).
void WriteDated(const QString& path, const QByteArray& bytes, std::int64_t modified);
std::int64_t ModifiedTime(const QString& path);
QByteArray ReadAll(const QString& path);
// What another program prints; a failure of the test when it cannot be run or does not end with 0.
QByteArray ToolOutput(const QString& program, const QStringList& arguments);
// The names in the folder, sorted, hidden ones included.
QStringList FolderNames(const QString& folder);
