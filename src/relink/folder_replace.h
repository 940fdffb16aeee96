#pragma once

#include <optional>
#include <string>
#include <vector>

#include "relink/group_list.h"

class Database;

// The registrations of one group whose folder starts with one spelling of a folder.
struct GroupMatch {
    int group = 0;
    std::string folder;  // the spelling as those registrations store it, byte for byte
    int rows = 0;
};

// The registrations whose PATH_NAME starts with one of `folders` (code-page bytes, each matched as
// StartsWithFolder matches: a Windows folder in either case and with either separator), by group
// and by the spelling they store, with how many each; groups without any are left out.
std::vector<GroupMatch> FindFolderMatches(Database& database, const std::vector<GroupEntry>& groups,
                                          const std::vector<std::string>& folders);

struct ReplaceCounts {
    long long changed = 0;
    long long failed = 0;
};

// Replaces the leading folder of every matched PATH_NAME by `newFolder`, one committed statement per
// match. Rows whose new folder would pass the column's 255 bytes are left as they are and counted as
// failed, as are all rows when `newFolder` is missing (the code page cannot hold it) and the rows of
// a match whose statement is refused.
ReplaceCounts ReplaceFolder(Database& database, const std::vector<GroupMatch>& matches,
                            const std::optional<std::string>& newFolder);
