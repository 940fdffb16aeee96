#include <algorithm>
#include <set>

#include "common/number.h"
#include "search/file_tables.h"
#include "search/index_file.h"
#include "search/index_view.h"
#include "search/search_plan.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

// Where each file table of an existing group is searched: the index holds it as it stands, or the
// database is read.
struct FileTablesNow {
    bool listed = true;     // the list of tables is known: the index's, or the database's
    std::set<int> indexed;  // empty with `everyHeld`: all but `direct`
    bool everyHeld = false;
    std::vector<int> direct;
};

// Searched with a list of tables the index holds as it stands: only the tables it marks, or that
// were written since it held them, are not held. Work in proportion to the changes, not the tables.
FileTablesNow WithListHeld(IndexFile& file, const IndexView& view,
                           const std::map<std::string, IndexedTable>& marked,
                           const std::function<bool(int group)>& exists) {
    FileTablesNow tables;
    tables.everyHeld = true;
    std::set<std::string> changed;
    for (const auto& [name, held] : marked) {
        if (!view.Holds(name, held)) {
            changed.insert(name);
        }
    }
    // Held unwritten in this stretch, and written since.
    for (const auto& [name, writes] : view.counts->writes) {
        if (writes != 0 && marked.count(name) == 0 && file.Table(name)) {
            changed.insert(name);
        }
    }
    for (const std::string& name : view.written) {
        if (file.Table(name)) {
            changed.insert(name);
        }
    }
    for (const std::string& name : changed) {
        const std::optional<int> group = FileTableGroup(name);
        if (group && exists(*group)) {
            tables.direct.push_back(*group);
        }
    }
    return tables;
}

// Searched after tables were made or dropped: every table listed now is compared with what the
// index holds.
FileTablesNow WithListRead(Database& database, IndexFile& file, const IndexView& view,
                           const std::function<bool(int group)>& exists) {
    FileTablesNow tables;
    const std::optional<std::map<std::string, std::int64_t>> listed = GroupTablesNow(database);
    if (!listed) {
        tables.listed = false;
        return tables;
    }
    const std::map<std::string, IndexedTable> held = file.Tables();
    for (const auto& [name, relation] : *listed) {
        const std::optional<int> group = FileTableGroup(name);
        if (!group || !exists(*group)) {
            continue;
        }
        const auto table = held.find(name);
        if (table != held.end() && table->second.relation == relation && view.Holds(name, table->second)) {
            tables.indexed.insert(*group);
        } else {
            tables.direct.push_back(*group);
        }
    }
    return tables;
}

}  // namespace

std::optional<SearchOutcome> SearchWithIndex(Database& database, const SearchIndex& index,
                                             const SearchPlan& plan) {
    IndexFile& file = index.file;
    const IndexView& view = index.view;
    if (!view.counts || !file.Begin()) {
        file.End();
        return std::nullopt;
    }
    const std::map<std::string, IndexedTable> marked = file.TablesMarked(view.counts->connection);
    const auto holds = [&](const std::string& name) {
        const auto table = marked.find(name);
        return table == marked.end() ? view.counts->WritesOf(name) == 0 && view.written.count(name) == 0
                                     : view.Holds(name, table->second);
    };
    // Until every table has been read once, and the list of tables found as held in this stretch of
    // the server's counts, the index is still being made.
    const auto list = marked.find(kTableList);
    if (!file.Complete() || (list != marked.end() && list->second.epoch != view.counts->connection)) {
        file.End();
        return std::nullopt;
    }
    SearchOutcome outcome;
    const bool listHeld = holds(kTableList);
    const bool groupsHeld = listHeld && holds(kGroupTable);
    Groups groups;  // the database's master rows, when the index does not hold them
    if (groupsHeld) {
        if (plan.groupHolds) {
            for (const GroupRecord& row : file.GroupsMatching(plan.groupQuery)) {
                if (plan.groupHolds(row)) {
                    outcome.hits.push_back(
                        {SearchHit::Kind::Group, ParseIntOrZero(row[kGroupN]), row[kGroupName], 0, {}, {}});
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
    // The groups' names for the tables read directly.
    Groups names = groups;
    const auto exists = [&](int group) {
        if (!groupsHeld) {
            return groups.count(group) != 0;
        }
        const std::optional<std::string> name = file.GroupName(group);
        if (name) {
            names[group] = *name;
        }
        return name.has_value();
    };
    FileTablesNow tables =
        listHeld ? WithListHeld(file, view, marked, exists) : WithListRead(database, file, view, exists);
    if (!tables.listed) {
        // Not even the list could be read: the direct search finds out what it can.
        file.End();
        return std::nullopt;
    }
    const std::set<int> direct(tables.direct.begin(), tables.direct.end());
    for (IndexedFile& found : file.FilesMatching(plan.nameQuery, plan.folderQuery)) {
        const bool indexed =
            tables.everyHeld ? direct.count(found.groupNo) == 0 : tables.indexed.count(found.groupNo) != 0;
        const bool existing = groupsHeld || groups.count(found.groupNo) != 0;
        if (indexed && existing && plan.fileHolds(found.fileName, found.folder)) {
            outcome.hits.push_back({SearchHit::Kind::File, found.groupNo,
                                    groupsHeld ? std::move(found.groupName) : groups[found.groupNo],
                                    found.fileNo, std::move(found.fileName), std::move(found.folder)});
        }
    }
    if (!file.End() || (index.superseded && index.superseded())) {
        return std::nullopt;
    }
    outcome.indexed = groupsHeld && tables.direct.empty();
    FindFiles(database, names, tables.direct, plan, outcome);
    // Groups first, then files by group: each group's files come from one place, in their order.
    std::stable_sort(outcome.hits.begin(), outcome.hits.end(), [](const SearchHit& a, const SearchHit& b) {
        const bool aFile = a.kind == SearchHit::Kind::File;
        const bool bFile = b.kind == SearchHit::Kind::File;
        return aFile != bFile ? bFile : aFile && a.groupNo < b.groupNo;
    });
    return outcome;
}
