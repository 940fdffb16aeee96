#pragma once

#include <string_view>

class Database;

// Copies every row of the file table `source` into `target`, creating the target as a file table
// when it does not exist and emptying it when it does. Row numbers are kept. A table is never
// copied onto itself (names compared trimmed and ignoring case). True only when every row of the
// source now stands in the target; a copy that did nothing (onto itself, detached, no source) or
// lost rows answers false.
bool CopyTable(Database& database, std::string_view source, std::string_view target);
