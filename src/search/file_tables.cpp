#include "search/file_tables.h"

#include <algorithm>

#include "common/number.h"
#include "common/sql_literal.h"
#include "common/trimmed.h"
#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

std::vector<int> GroupsWithFileTables(Database& database, const std::map<int, std::string>& groups) {
    std::vector<int> numbers;
    const int count = database.OpenSelect("RDB$RELATION_NAME", "RDB$RELATIONS",
                                          "RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS NULL AND "
                                          "RDB$RELATION_NAME STARTING WITH 'GRP_'",
                                          "");
    std::string name[1];
    WalkRows(database, count, name, [&] {
        const std::string trimmed = name[0].substr(0, name[0].find(' '));
        const int number = ParseIntOrZero(trimmed.substr(4));
        // Only the exact name of an existing group: "GRP_07" or a table of a deleted group is none.
        if (groups.count(number) != 0 && trimmed == FileTableName(number)) {
            numbers.push_back(number);
        }
    });
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::optional<std::map<std::string, std::int64_t>> GroupTablesNow(Database& database) {
    std::map<std::string, std::int64_t> tables;
    const int count = database.OpenSelect("RDB$RELATION_NAME, RDB$RELATION_ID", "RDB$RELATIONS",
                                          "RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS NULL AND "
                                          "(RDB$RELATION_NAME STARTING WITH 'GRP_' OR RDB$RELATION_NAME = '" +
                                              std::string(kGroupTable) + "')",
                                          "");
    if (!database.ResultOpen()) {
        return std::nullopt;
    }
    std::string row[2];
    WalkRows(database, count, row, [&] {
        const std::string name(TrimmedRight(row[0]));
        if (name == kGroupTable || FileTableGroup(name)) {
            tables[name] = DecimalInt64OrZero(row[1]);
        }
    });
    return tables;
}

std::optional<int> FileTableGroup(const std::string& name) {
    if (!name.starts_with("GRP_")) {
        return std::nullopt;
    }
    const int number = ParseIntOrZero(std::string_view(name).substr(4));
    return number >= 0 && name == FileTableName(number) ? std::optional(number) : std::nullopt;
}

std::string FileTablesUnion(const std::vector<int>& numbers, std::size_t first, std::size_t end,
                            const std::string& columns) {
    std::string tables;
    for (std::size_t i = first; i < end; ++i) {
        tables += (tables.empty() ? "(SELECT " : " UNION ALL SELECT ") + SqlNumber(numbers[i]) + " AS G, " +
                  columns + " FROM " + FileTableName(numbers[i]);
    }
    return tables + ") AS FOUND";
}

std::size_t BatchEnd(const std::vector<int>& numbers, std::size_t first) {
    return std::min(numbers.size(), first + kFileTablesPerStatement);
}

void ReadFileTables(Database& database, const std::vector<int>& numbers, std::size_t first, std::size_t end,
                    const FileTablesRead& read, std::span<std::string> row,
                    const std::function<void()>& visit, std::vector<int>& unread) {
    const int count = database.OpenSelect(read.select, FileTablesUnion(numbers, first, end, read.columns),
                                          read.where, read.order);
    if (database.ResultOpen()) {
        WalkRows(database, count, row, visit);
        return;
    }
    // A connection that fails every statement gets no more of them.
    if (end - first == 1 || !database.TableExists(kGroupTable)) {
        unread.insert(unread.end(), numbers.begin() + static_cast<std::ptrdiff_t>(first),
                      numbers.begin() + static_cast<std::ptrdiff_t>(end));
        return;
    }
    const std::size_t middle = first + (end - first) / 2;
    ReadFileTables(database, numbers, first, middle, read, row, visit, unread);
    ReadFileTables(database, numbers, middle, end, read, row, visit, unread);
}
