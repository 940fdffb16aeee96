#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "search/group_search.h"
#include "storage/records.h"

class Database;
struct SearchIndex;

// One search, as the database and the index each can run it. The server and the index narrow; the
// program decides on what they found.
struct SearchPlan {
    // The groups found by their own texts (none when empty).
    std::function<bool(const GroupRecord& row)> groupHolds;
    std::string groupQuery;  // the same in the index's words
    // The files: a condition the server narrows with, and what decides.
    std::string where;
    std::function<bool(const std::string& fileName, const std::string& folder)> fileHolds;
    std::string nameQuery;    // in the index's words: file names (empty: none)
    std::string folderQuery;  // and folders (empty: none)
};

using Groups = std::map<int, std::string>;  // number to name, every row of the master table

// Whether there is anything to search: Found when attached with a master table.
SearchOutcome::State Readiness(Database& database);
// Every master row, in the order of their numbers; `visit` sees each of them.
Groups AllGroups(Database& database, const std::function<void(const GroupRecord&)>& visit = {});
// The group hits of `plan` among the master rows, and every master row.
Groups FindGroups(Database& database, const SearchPlan& plan, SearchOutcome& outcome);
// The file hits of `plan` in the file tables of `numbers`, a batch of tables per statement.
void FindFiles(Database& database, const Groups& groups, const std::vector<int>& numbers,
               const SearchPlan& plan, SearchOutcome& outcome);

// `plan` run over the database alone.
SearchOutcome SearchDirectly(Database& database, const SearchPlan& plan);
// `plan` run over the index where it holds the tables as they are now, and over the database where
// it does not; nothing when the index cannot serve (not made yet, or how the tables stand now cannot
// be told).
std::optional<SearchOutcome> SearchWithIndex(Database& database, const SearchIndex& index,
                                             const SearchPlan& plan);
