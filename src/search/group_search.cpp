#include "search/group_search.h"

#include <algorithm>

#include "common/number.h"
#include "common/sql_literal.h"
#include "search/file_tables.h"
#include "search/index_view.h"
#include "search/index_words.h"
#include "search/search_plan.h"
#include "search/search_text.h"
#include "storage/database.h"
#include "storage/registration.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

SearchOutcome::State Readiness(Database& database) {
    if (!database.Attached()) {
        return SearchOutcome::State::NotAttached;
    }
    return database.TableExists(kGroupTable) ? SearchOutcome::State::Found : SearchOutcome::State::NoGroups;
}

Groups AllGroups(Database& database, const std::function<void(const GroupRecord&)>& visit) {
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

Groups FindGroups(Database& database, const SearchPlan& plan, SearchOutcome& outcome) {
    // Every master row is read: the groups' names are needed for the files found as well.
    return AllGroups(database, [&](const GroupRecord& row) {
        if (plan.groupHolds && plan.groupHolds(row)) {
            outcome.hits.push_back(
                {SearchHit::Kind::Group, ParseIntOrZero(row[kGroupN]), row[kGroupName], 0, {}, {}});
        }
    });
}

void FindFiles(Database& database, const Groups& groups, const std::vector<int>& numbers,
               const SearchPlan& plan, SearchOutcome& outcome) {
    const FileTablesRead read{"N, FILE_NAME, PATH_NAME", "*", plan.where, "G, N"};
    std::string row[4];
    for (std::size_t first = 0; first < numbers.size(); first += kFileTablesPerStatement) {
        ReadFileTables(
            database, numbers, first, BatchEnd(numbers, first), read, row,
            [&] {
                if (plan.fileHolds(row[2], row[3])) {
                    const int groupNo = ParseIntOrZero(row[0]);
                    outcome.hits.push_back({SearchHit::Kind::File, groupNo, groups.at(groupNo),
                                            ParseIntOrZero(row[1]), row[2], row[3]});
                }
            },
            outcome.unreadGroups);
    }
}

SearchOutcome SearchDirectly(Database& database, const SearchPlan& plan) {
    SearchOutcome outcome;
    outcome.state = Readiness(database);
    if (outcome.state == SearchOutcome::State::Found) {
        const Groups groups = FindGroups(database, plan, outcome);
        FindFiles(database, groups, GroupsWithFileTables(database, groups), plan, outcome);
    }
    return outcome;
}

namespace {

SearchOutcome Search(Database& database, const SearchIndex* index, const SearchPlan& plan) {
    if (index != nullptr && database.Attached()) {
        if (std::optional<SearchOutcome> indexed = SearchWithIndex(database, *index, plan)) {
            return std::move(*indexed);
        }
        if (index->superseded && index->superseded()) {
            return SearchOutcome{};
        }
    }
    return SearchDirectly(database, plan);
}

}  // namespace

SearchOutcome FindText(Database& database, const SearchNeedle& needle,
                       const std::vector<SearchNeedle>& storedFolders, const SearchIndex* index) {
    if (needle.Empty()) {
        SearchOutcome outcome;
        outcome.state = Readiness(database);
        return outcome;
    }
    SearchPlan plan;
    plan.groupHolds = [&](const GroupRecord& row) {
        return std::any_of(kSearchedGroupTexts.begin(), kSearchedGroupTexts.end(),
                           [&](int column) { return needle.FoundIn(row[column]); });
    };
    plan.groupQuery = IndexQuery(needle.FoldedText());
    std::string condition = needle.ServerCondition({"FILE_NAME", "PATH_NAME"});
    plan.nameQuery = plan.groupQuery;
    plan.folderQuery = plan.groupQuery;
    for (const SearchNeedle& stored : storedFolders) {
        condition += " OR " + stored.ServerCondition({"PATH_NAME"});
        plan.folderQuery += " OR " + IndexQuery(stored.FoldedText());
    }
    plan.where = "(" + condition + ")";
    plan.fileHolds = [&](const std::string& fileName, const std::string& folder) {
        return needle.FoundIn(fileName) || needle.FoundIn(folder) ||
               std::any_of(storedFolders.begin(), storedFolders.end(),
                           [&folder](const SearchNeedle& stored) { return stored.FoundIn(folder); });
    };
    return Search(database, index, plan);
}

SearchOutcome FindFile(Database& database, const std::string& folder, const std::string& fileName,
                       const FolderMappings& mappings, const SearchIndex* index) {
    SearchPlan plan;
    // Under mappings one folder here may be stored in several forms: the program compares where each
    // stands. The server pads with blanks when it compares; the program holds out for the same bytes.
    const std::string local = LocalPathOf(mappings, folder, "");
    plan.where = TextEquals("FILE_NAME", fileName) +
                 (mappings.empty() ? " AND " + TextEquals("PATH_NAME", folder) : "");
    plan.fileHolds = [&](const std::string& name, const std::string& path) {
        return name == fileName && (path == folder || LocalPathOf(mappings, path, "") == local);
    };
    // An empty name holds no words to look for.
    plan.nameQuery = fileName.empty() || fileName.find('\0') != std::string::npos ? "" : IndexQuery(fileName);
    return Search(database, plan.nameQuery.empty() ? nullptr : index, plan);
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
    database.OpenSelect("G", FileTablesUnion(numbers_, next_, end, "N, FILE_NAME, PATH_NAME"), "1 = 0", "");
    // Steps follow each other without a pause: the tables are let go after each of them.
    database.CloseStatement();
    next_ = end;
    return next_ < numbers_.size();
}
