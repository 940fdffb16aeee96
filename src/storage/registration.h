#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "storage/records.h"

class Database;

// Conditions that name a row exactly as it was read, so that a row changed, or numbered anew, since
// the user saw it is never the one written.

// Equality of a text column with a text, NULL standing for the empty text as everywhere.
std::string TextEquals(const std::string& column, const std::string& text);

// The condition that holds for the file rows of this file name and folder, whatever their numbers.
std::string SameFile(const std::string& fileName, const std::string& folder);

// The file row registered under this number, file name and folder (code-page bytes; an empty text
// stands for NULL as everywhere).
std::string SameRegistration(std::int64_t number, const std::string& fileName, const std::string& folder);

// For each (file name, folder), whether `table` holds a row of that file, asked a few dozen files
// to a statement (each statement is a round trip to a server). All false when the table cannot be
// read, as for a table that holds none of them.
std::vector<bool> HeldFiles(Database& database, const std::string& table,
                            const std::vector<std::pair<std::string, std::string>>& files);

// The master row of `row`'s group with its texts and picture as read: the group itself, wherever its
// icon has been moved since.
std::string SameGroup(const GroupRecord& row);
// The same, and its position as read too: the whole row.
std::string SameGroupRow(const GroupRecord& row);
