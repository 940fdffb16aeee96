#pragma once

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

// Fills the attached, empty database with `groups` groups (Japanese names among them), group n
// holding n * `filesPerGroup` registrations.
void FillLibrary(Database& database, int groups, int filesPerGroup);
LibraryContents ReadLibrary(Database& database);
// Adds `count` registrations to group `group` in one statement, numbered from 1,000,000 on.
void AddRegistrations(Database& database, int group, int count);
// Creates the database `settings` names, fills it as FillLibrary does and answers its contents.
LibraryContents CreateLibrary(const ConnectionSettings& settings, int groups, int filesPerGroup);
