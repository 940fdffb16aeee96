#pragma once

#include <cstddef>
#include <future>
#include <map>
#include <string>
#include <thread>
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

// Another desktop in the middle of a long write: on a connection of its own (on a thread of its own)
// a registration of group `group` is inserted and held uncommitted until the object goes, then
// rolled back.
class UncommittedWrite {
public:
    UncommittedWrite(const ConnectionSettings& settings, int group);
    ~UncommittedWrite();
    UncommittedWrite(const UncommittedWrite&) = delete;
    UncommittedWrite& operator=(const UncommittedWrite&) = delete;

private:
    std::promise<void> release_;
    std::thread thread_;
};
