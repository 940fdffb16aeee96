#include "storage/registration.h"

#include <algorithm>
#include <array>

#include "common/number.h"
#include "common/sql_literal.h"
#include "common/trimmed.h"
#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

std::string TextEquals(const std::string& column, const std::string& text) {
    return text.empty() ? column + " IS NULL" : column + " = " + SqlText(text);
}

std::string SameFile(const std::string& fileName, const std::string& folder) {
    return TextEquals("FILE_NAME", fileName) + " AND " + TextEquals("PATH_NAME", folder);
}

std::string SameRegistration(std::int64_t number, const std::string& fileName, const std::string& folder) {
    return "N=" + SqlNumber(number) + " AND " + SameFile(fileName, folder);
}

std::vector<bool> HeldFiles(Database& database, const std::string& table,
                            const std::vector<std::pair<std::string, std::string>>& files) {
    // Full-length names keep a statement of this many conditions well within Firebird's 64 KB.
    constexpr std::size_t kFilesPerStatement = 48;
    std::vector<bool> held(files.size(), false);
    for (std::size_t first = 0; first < files.size(); first += kFilesPerStatement) {
        const std::size_t end = std::min(files.size(), first + kFilesPerStatement);
        std::string where;
        for (std::size_t i = first; i < end; ++i) {
            where += (where.empty() ? "(" : " OR (") + SameFile(files[i].first, files[i].second) + ")";
        }
        std::array<std::string, 2> row;
        WalkRows(database, database.OpenSelect("FILE_NAME, PATH_NAME", table, where, ""), row, [&] {
            // The server compares texts as if padded with blanks, and so does this.
            for (std::size_t i = first; i < end; ++i) {
                held[i] = held[i] || (TrimmedRight(row[0]) == TrimmedRight(files[i].first) &&
                                      TrimmedRight(row[1]) == TrimmedRight(files[i].second));
            }
        });
    }
    return held;
}

std::string SameGroup(const GroupRecord& row) {
    std::string condition = "N=" + SqlNumber(ParseIntOrZero(row[kGroupN]));
    for (int column = kGroupName; column <= kGroupIcon; ++column) {
        condition += " AND " + TextEquals(GroupColumnNames()[column], row[column]);
    }
    return condition;
}

std::string SameGroupRow(const GroupRecord& row) {
    // A position is an integer column: its text compares as the number it reads.
    return SameGroup(row) + " AND " + TextEquals("X", row[kGroupX]) + " AND " + TextEquals("Y", row[kGroupY]);
}
