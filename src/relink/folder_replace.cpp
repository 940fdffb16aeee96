#include "relink/folder_replace.h"

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

constexpr long long kPathBytes = 255;  // PATH_NAME VARCHAR(255)

std::string StartsWith(const std::string& folder) {
    return "PATH_NAME STARTING WITH " + SqlText(folder);
}

}  // namespace

std::vector<GroupMatch> FindFolderMatches(Database& database, const std::vector<GroupEntry>& groups,
                                          const std::string& oldFolder) {
    std::vector<GroupMatch> matches;
    if (oldFolder.empty()) {
        return matches;
    }
    for (const GroupEntry& group : groups) {
        const int rows = database.CountRows(FileTableName(group.number), StartsWith(oldFolder));
        if (rows > 0) {
            matches.push_back({group.number, rows});
        }
    }
    return matches;
}

ReplaceCounts ReplaceFolder(Database& database, const std::vector<GroupMatch>& matches,
                            const std::string& oldFolder, const std::optional<std::string>& newFolder) {
    ReplaceCounts counts;
    for (const GroupMatch& match : matches) {
        if (!newFolder) {
            counts.failed += match.rows;
            continue;
        }
        const std::string table = FileTableName(match.group);
        // The longest PATH_NAME that still fits once its old folder is replaced.
        const long long longest =
            kPathBytes - static_cast<long long>(newFolder->size()) + static_cast<long long>(oldFolder.size());
        const std::string length = " AND OCTET_LENGTH(PATH_NAME)";
        const int tooLong =
            longest >= kPathBytes
                ? 0
                : database.CountRows(table, StartsWith(oldFolder) + length + ">" + SqlNumber(longest));
        if (tooLong < 0) {
            counts.failed += match.rows;
            continue;
        }
        const std::string setClause = "PATH_NAME=" + SqlText(*newFolder) + "||SUBSTRING(PATH_NAME FROM " +
                                      SqlNumber(static_cast<long long>(oldFolder.size()) + 1) + ")";
        // What the statement changed is what counts: rows may have come or gone since they were counted.
        const long long changed = database.UpdateSetChanged(
            table, setClause, StartsWith(oldFolder) + length + "<=" + SqlNumber(longest));
        if (changed >= 0) {
            counts.changed += changed;
        } else {
            counts.failed += match.rows - tooLong;
        }
        counts.failed += tooLong;
    }
    return counts;
}
