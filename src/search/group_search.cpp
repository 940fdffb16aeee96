#include "search/group_search.h"

#include <algorithm>
#include <functional>
#include <map>

#include "common/number.h"
#include "common/sql_literal.h"
#include "search/search_text.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/registration.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace {

using Groups = std::map<int, std::string>;  // number to name, every row of the master table
using FileFilter = std::function<bool(const std::string& fileName, const std::string& folder)>;

// The numbers of the existing groups that have a file table, in ascending order.
std::vector<int> GroupsWithFileTables(Database& database, const Groups& groups) {
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

// The file tables of numbers[first] up to numbers[end] as one derived table FOUND of the columns G
// (the group), N, FILE_NAME and PATH_NAME. A condition on FOUND is compiled once for all of them,
// where one in each table's own select would be compiled for each.
std::string FileTablesUnion(const std::vector<int>& numbers, std::size_t first, std::size_t end) {
    std::string tables;
    for (std::size_t i = first; i < end; ++i) {
        tables += (tables.empty() ? "(SELECT " : " UNION ALL SELECT ") + SqlNumber(numbers[i]) +
                  " AS G, N, FILE_NAME, PATH_NAME FROM " + FileTableName(numbers[i]);
    }
    return tables + ") AS FOUND";
}

std::size_t BatchEnd(const std::vector<int>& numbers, std::size_t first) {
    return std::min(numbers.size(), first + kFileTablesPerStatement);
}

// The rows that `where` admits from the file tables numbers[first] up to numbers[end], in one
// statement. When it fails (a table dropped meanwhile, or one that is no file table) while the
// connection still works, each half is tried on its own, down to the single tables that cannot be read.
void FindFilesIn(Database& database, const Groups& groups, const std::vector<int>& numbers, std::size_t first,
                 std::size_t end, const std::string& where, const FileFilter& keep, SearchOutcome& outcome) {
    const int count = database.OpenSelect("*", FileTablesUnion(numbers, first, end), where, "G, N");
    if (!database.ResultOpen()) {
        // A connection that fails every statement gets no more of them.
        if (end - first == 1 || !database.TableExists(kGroupTable)) {
            outcome.unreadGroups.insert(outcome.unreadGroups.end(), numbers.begin() + first,
                                        numbers.begin() + end);
        } else {
            const std::size_t middle = first + (end - first) / 2;
            FindFilesIn(database, groups, numbers, first, middle, where, keep, outcome);
            FindFilesIn(database, groups, numbers, middle, end, where, keep, outcome);
        }
        return;
    }
    std::string row[4];
    WalkRows(database, count, row, [&] {
        if (keep(row[2], row[3])) {
            const int groupNo = ParseIntOrZero(row[0]);
            outcome.hits.push_back(
                {SearchHit::Kind::File, groupNo, groups.at(groupNo), ParseIntOrZero(row[1]), row[2], row[3]});
        }
    });
}

// The rows that `where` admits from the file tables of `numbers`, a batch of tables per statement.
void FindFiles(Database& database, const Groups& groups, const std::vector<int>& numbers,
               const std::string& where, const FileFilter& keep, SearchOutcome& outcome) {
    for (std::size_t first = 0; first < numbers.size(); first += kFileTablesPerStatement) {
        FindFilesIn(database, groups, numbers, first, BatchEnd(numbers, first), where, keep, outcome);
    }
}

// Whether there is anything to search: Found when attached with a master table.
SearchOutcome::State Readiness(Database& database) {
    if (!database.Attached()) {
        return SearchOutcome::State::NotAttached;
    }
    return database.TableExists(kGroupTable) ? SearchOutcome::State::Found : SearchOutcome::State::NoGroups;
}

// Every master row; `visit` sees each of them.
Groups AllGroups(Database& database, const std::function<void(const GroupRecord&)>& visit = {}) {
    Groups groups;
    const int count = database.OpenSelect("*", kGroupTable, "", "N");
    GroupRecord row;
    WalkRows(database, count, row, [&] {
        groups[ParseIntOrZero(row[kGroupN])] = row[kGroupName];
        if (visit) {
            visit(row);
        }
    });
    return groups;
}

}  // namespace

SearchOutcome FindText(Database& database, const SearchNeedle& needle,
                       const std::vector<SearchNeedle>& storedFolders) {
    SearchOutcome outcome;
    outcome.state = Readiness(database);
    if (outcome.state != SearchOutcome::State::Found || needle.Empty()) {
        return outcome;
    }
    // Every master row is read: the groups' names are needed for the files found as well.
    const Groups groups = AllGroups(database, [&](const GroupRecord& row) {
        for (const int column : {kGroupName, kGroupMainTitle, kGroupSubTitle, kGroupAuthor, kGroupMemo1,
                                 kGroupMemo2, kGroupMemo3}) {
            if (needle.FoundIn(row[column])) {
                outcome.hits.push_back(
                    {SearchHit::Kind::Group, ParseIntOrZero(row[kGroupN]), row[kGroupName], 0, {}, {}});
                return;
            }
        }
    });
    std::string condition = needle.ServerCondition({"FILE_NAME", "PATH_NAME"});
    for (const SearchNeedle& stored : storedFolders) {
        condition += " OR " + stored.ServerCondition({"PATH_NAME"});
    }
    FindFiles(
        database, groups, GroupsWithFileTables(database, groups), "(" + condition + ")",
        [&](const std::string& fileName, const std::string& folder) {
            return needle.FoundIn(fileName) || needle.FoundIn(folder) ||
                   std::any_of(storedFolders.begin(), storedFolders.end(),
                               [&folder](const SearchNeedle& stored) { return stored.FoundIn(folder); });
        },
        outcome);
    return outcome;
}

SearchOutcome FindFile(Database& database, const std::string& folder, const std::string& fileName,
                       const FolderMappings& mappings) {
    SearchOutcome outcome;
    outcome.state = Readiness(database);
    if (outcome.state != SearchOutcome::State::Found) {
        return outcome;
    }
    const Groups groups = AllGroups(database);
    // Under mappings one folder here may be stored in several forms: the program compares where each
    // stands. The server pads with blanks when it compares; the program holds out for the same bytes.
    const std::string local = LocalPathOf(mappings, folder, "");
    FindFiles(
        database, groups, GroupsWithFileTables(database, groups),
        TextEquals("FILE_NAME", fileName) +
            (mappings.empty() ? " AND " + TextEquals("PATH_NAME", folder) : ""),
        [&](const std::string& name, const std::string& path) {
            return name == fileName && (path == folder || LocalPathOf(mappings, path, "") == local);
        },
        outcome);
    return outcome;
}

bool FileTableWarmUp::Step(Database& database) {
    if (!listed_) {
        listed_ = true;
        next_ = 0;
        numbers_.clear();
        if (Readiness(database) == SearchOutcome::State::Found) {
            numbers_ = GroupsWithFileTables(database, AllGroups(database));
        }
        return !numbers_.empty();
    }
    if (next_ >= numbers_.size() || !database.Attached()) {
        return false;
    }
    const std::size_t end = BatchEnd(numbers_, next_);
    database.OpenSelect("G", FileTablesUnion(numbers_, next_, end), "1 = 0", "");
    // Steps follow each other without a pause: the tables are let go after each of them.
    database.CloseStatement();
    next_ = end;
    return next_ < numbers_.size();
}
