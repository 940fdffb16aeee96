#include <algorithm>

#include "common/number.h"
#include "search/file_tables.h"
#include "search/index_file.h"
#include "search/index_view.h"
#include "search/search_plan.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

// The file tables of existing groups that hold registrations now, each with whether the index holds
// it as it stands.
std::map<int, bool> FileTables(Database& database, const SearchIndex& index,
                               const std::map<std::string, IndexedTable>& held, const Groups& groups,
                               bool listHeld) {
    std::map<int, bool> tables;
    std::map<std::string, std::int64_t> listed;
    if (listHeld) {
        for (const auto& [name, table] : held) {
            listed[name] = table.relation;
        }
    } else if (std::optional<std::map<std::string, std::int64_t>> now = GroupTablesNow(database)) {
        listed = std::move(*now);
    } else {
        // Not even the list could be read: the direct search finds out what it can.
        for (const int group : GroupsWithFileTables(database, groups)) {
            tables[group] = false;
        }
        return tables;
    }
    for (const auto& [name, relation] : listed) {
        const std::optional<int> group = FileTableGroup(name);
        if (group && groups.count(*group) != 0) {
            const auto table = held.find(name);
            tables[*group] = table != held.end() && table->second.relation == relation &&
                             index.view.Holds(name, table->second);
        }
    }
    return tables;
}

}  // namespace

std::optional<SearchOutcome> SearchWithIndex(Database& database, const SearchIndex& index,
                                             const SearchPlan& plan) {
    IndexFile& file = index.file;
    if (!file.Begin()) {
        file.End();
        return std::nullopt;
    }
    const std::map<std::string, IndexedTable> held = file.Tables();
    const auto holds = [&](const char* name) {
        const auto table = held.find(name);
        return table != held.end() && index.view.Holds(name, table->second);
    };
    // Until every table has been read once, and found as held in this stretch of the server's
    // counts, the index is still being made.
    const auto list = held.find(kTableList);
    if (!file.Complete() || list == held.end() || !index.view.counts ||
        list->second.epoch != index.view.counts->connection) {
        file.End();
        return std::nullopt;
    }
    SearchOutcome outcome;
    outcome.indexed = true;
    Groups groups;
    const bool listHeld = holds(kTableList);
    if (listHeld && holds(kGroupTable)) {
        groups = file.GroupNames();
        if (plan.groupHolds) {
            for (const GroupRecord& row : file.GroupsMatching(plan.groupQuery)) {
                if (plan.groupHolds(row)) {
                    const int number = ParseIntOrZero(row[kGroupN]);
                    outcome.hits.push_back({SearchHit::Kind::Group, number, groups[number], 0, {}, {}});
                }
            }
        }
    } else {
        outcome.state = Readiness(database);
        if (outcome.state != SearchOutcome::State::Found) {
            file.End();
            return outcome;
        }
        groups = FindGroups(database, plan, outcome);
    }
    const std::map<int, bool> tables = FileTables(database, index, held, groups, listHeld);
    std::vector<int> direct;
    for (const auto& [group, indexed] : tables) {
        if (!indexed) {
            direct.push_back(group);
        }
    }
    if (direct.size() < tables.size()) {
        for (IndexedFile& found : file.FilesMatching(plan.nameQuery, plan.folderQuery)) {
            const auto table = tables.find(found.groupNo);
            if (table != tables.end() && table->second && plan.fileHolds(found.fileName, found.folder)) {
                outcome.hits.push_back({SearchHit::Kind::File, found.groupNo, groups[found.groupNo],
                                        found.fileNo, std::move(found.fileName), std::move(found.folder)});
            }
        }
    }
    if (!file.End() || (index.superseded && index.superseded())) {
        return std::nullopt;
    }
    FindFiles(database, groups, direct, plan, outcome);
    // Groups first, then files by group: each group's files come from one place, in their order.
    std::stable_sort(outcome.hits.begin(), outcome.hits.end(), [](const SearchHit& a, const SearchHit& b) {
        const bool aFile = a.kind == SearchHit::Kind::File;
        const bool bFile = b.kind == SearchHit::Kind::File;
        return aFile != bFile ? bFile : aFile && a.groupNo < b.groupNo;
    });
    return outcome;
}
