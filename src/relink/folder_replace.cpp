#include "relink/folder_replace.h"

#include <array>
#include <set>

#include "common/folder_mapping.h"
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
                                          const std::vector<std::string>& folders) {
    std::vector<GroupMatch> matches;
    for (const GroupEntry& group : groups) {
        const std::string table = FileTableName(group.number);
        // The group's folders, each once: the spellings they store are picked from them here, as no
        // statement can tell a letter from the second byte of a character.
        std::set<std::string> stored;
        const int count = database.OpenSelect("DISTINCT PATH_NAME", table, "", "");
        std::array<std::string, 1> row;
        for (int i = 0; i < count; ++i) {
            if (i == 0) {
                database.ReadFirstRow(row);
            } else {
                database.ReadNextRow(row);
            }
            for (const std::string& folder : folders) {
                if (!folder.empty() && StartsWithFolder(row[0], folder)) {
                    stored.insert(row[0].substr(0, folder.size()));
                }
            }
        }
        database.CloseResult();
        for (const std::string& spelling : stored) {
            const int rows = database.CountRows(table, StartsWith(spelling));
            if (rows > 0) {
                matches.push_back({group.number, spelling, rows});
            }
        }
    }
    return matches;
}

ReplaceCounts ReplaceFolder(Database& database, const std::vector<GroupMatch>& matches,
                            const std::optional<std::string>& newFolder) {
    ReplaceCounts counts;
    for (const GroupMatch& match : matches) {
        const std::string& oldFolder = match.folder;
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
