#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/records.h"

// A database's groups and registrations, every column as stored: what a backup must bring back.
struct LibraryContents {
    std::vector<GroupRecord> groups;                       // ascending N
    std::map<std::string, std::vector<FileRecord>> files;  // file table name, rows in ascending N

    bool operator==(const LibraryContents&) const = default;
};

// What a file table's FILE_NAME and PATH_NAME hold at the most: 255 bytes of CP932.
inline constexpr std::size_t kFileColumnBytes = 255;

// A registration's file name and folder as real offices keep them: all 255 bytes of their columns,
// Japanese whose second bytes are backslashes (表 ソ 能), blanks and quotes; told apart by their
// numbers.
std::string FullFileName(int file);
std::string FullFolder(int group, int file);

// Fills the attached, empty database with `groups` groups whose texts fill their columns, group n
// holding n * `filesPerGroup` registrations with full-length names (FullFileName, FullFolder).
void FillLibrary(Database& database, int groups, int filesPerGroup);
LibraryContents ReadLibrary(Database& database);
// Adds `count` registrations to group `group` in one statement, numbered from 1,000,000 on.
void AddRegistrations(Database& database, int group, int count);
// Creates the database `settings` names, fills it as FillLibrary does and answers its contents.
LibraryContents CreateLibrary(const ConnectionSettings& settings, int groups, int filesPerGroup);
