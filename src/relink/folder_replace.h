#pragma once

#include <optional>
#include <string>
#include <vector>

#include "relink/group_list.h"

class Database;

// The registrations of one group whose folder starts with a given folder.
struct GroupMatch {
    int group = 0;
    int rows = 0;
};

// The groups holding registrations whose PATH_NAME starts with `oldFolder` (code-page bytes, byte for
// byte), with how many each; groups without any are left out.
std::vector<GroupMatch> FindFolderMatches(Database& database, const std::vector<GroupEntry>& groups,
                                          const std::string& oldFolder);

struct ReplaceCounts {
    long long changed = 0;
    long long failed = 0;
};

// Replaces the leading `oldFolder` of every matched PATH_NAME by `newFolder`, one committed statement
// per group. Rows whose new folder would pass the column's 255 bytes are left as they are and counted
// as failed, as are all rows when `newFolder` is missing (the code page cannot hold it) and the rows
// of a group whose statement is refused.
ReplaceCounts ReplaceFolder(Database& database, const std::vector<GroupMatch>& matches,
                            const std::string& oldFolder, const std::optional<std::string>& newFolder);
