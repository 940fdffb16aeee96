#pragma once

#include <QString>
#include <string_view>

// The folder separator of the platform's paths: "\" on Windows, "/" elsewhere.
QString FolderSeparator();
// The bytes that end a folder in a stored path: "\" and ":" on Windows, "/" elsewhere.
std::string_view PathSeparators();
// A server data folder as the database settings dialog's hint shows one: "C:\data\" on Windows,
// "/data/" elsewhere.
QString DataFolderExample();
// This user's folder for what the program can make again: $XDG_CACHE_HOME when it is an absolute
// path, else ~/.cache; on Windows the local application data folder's.
QString UserCacheFolder();
