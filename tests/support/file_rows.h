#pragma once

#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/records.h"

// Inserts a row into GRP_<group> directly; an empty text stores NULL.
void InsertFileRow(Database& database, int group, int number, const std::string& fileName,
                   const std::string& folder);
// Every row of GRP_<group> in ascending N; none when it cannot be read.
std::vector<FileRecord> ReadFileRows(Database& database, int group);
