#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

class Database;

// How many file tables one statement reads: the server allows 255 tables in one statement.
inline constexpr std::size_t kFileTablesPerStatement = 200;

// The numbers of the groups in `groups` (number to name) that have a file table, in ascending order.
std::vector<int> GroupsWithFileTables(Database& database, const std::map<int, std::string>& groups);

// The master table and the file tables (their exact names "GRP_<n>") that exist, by name, with the
// server's number for each, which a table dropped and made anew changes; nothing when they cannot be
// listed.
std::optional<std::map<std::string, std::int64_t>> GroupTablesNow(Database& database);
// The group number (not negative) of a file table's name; nothing for another name.
std::optional<int> FileTableGroup(const std::string& name);

// The file tables of numbers[first] up to numbers[end] as one derived table FOUND of the columns G
// (the group) and `columns` of each. A condition on FOUND is compiled once for all of them, where
// one in each table's own select would be compiled for each.
std::string FileTablesUnion(const std::vector<int>& numbers, std::size_t first, std::size_t end,
                            const std::string& columns);
// Where the batch of tables that begins at `first` ends.
std::size_t BatchEnd(const std::vector<int>& numbers, std::size_t first);

// One statement on the file tables of numbers[first] up to numbers[end]: `select` (a SELECT list
// over FOUND of `columns`, where `where` holds, in `order`), each row read into `row` before `visit`
// sees it. When the statement fails (a table dropped meanwhile, or one that is no file table) while
// the connection still works, each half is read on its own, down to the single tables that cannot be
// read, which go to `unread`.
struct FileTablesRead {
    std::string columns;
    std::string select = "*";
    std::string where;
    std::string order;
};
void ReadFileTables(Database& database, const std::vector<int>& numbers, std::size_t first, std::size_t end,
                    const FileTablesRead& read, std::span<std::string> row,
                    const std::function<void()>& visit, std::vector<int>& unread);
