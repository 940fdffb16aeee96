#pragma once

#include <cstdint>
#include <string>

#include "storage/records.h"

// Conditions that name a row exactly as it was read, so that a row changed, or numbered anew, since
// the user saw it is never the one written.

// Equality of a text column with a text, NULL standing for the empty text as everywhere.
std::string TextEquals(const std::string& column, const std::string& text);

// The file row registered under this number, file name and folder (code-page bytes; an empty text
// stands for NULL as everywhere).
std::string SameRegistration(std::int64_t number, const std::string& fileName, const std::string& folder);

// The master row of `row`'s group with its texts and picture as read: the group itself, wherever its
// icon has been moved since.
std::string SameGroup(const GroupRecord& row);
// The same, and its position as read too: the whole row.
std::string SameGroupRow(const GroupRecord& row);
