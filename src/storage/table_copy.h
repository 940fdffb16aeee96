#pragma once

#include <functional>
#include <string_view>

class Database;

// Copies every row of the file table `source` into `target`, creating the target as a file table
// when it does not exist and emptying it when it does. Row numbers are kept. A table is never
// copied onto itself (names compared trimmed and ignoring case). The rows are read and written in
// one transaction, with the caller's `alongWith` writes that must stand or fall with them: every row
// of the source as it stood at one moment stands in the target, or none of it changed. True when the
// copy was committed.
bool CopyTable(
    Database& database, std::string_view source, std::string_view target,
    const std::function<bool()>& alongWith = [] { return true; });
