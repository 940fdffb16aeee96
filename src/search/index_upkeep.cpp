#include "search/index_upkeep.h"

#include <algorithm>
#include <utility>

#include "common/fingerprint.h"
#include "common/number.h"
#include "search/file_tables.h"
#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace fs = std::filesystem;

namespace {

// A statement reads about this many registrations at the most, unless one table alone holds more.
constexpr long long kRowsPerStatement = 10000;

}  // namespace

std::string IndexFileName(const std::string& databasePath) {
    const std::size_t start = databasePath.find_last_of("/\\:") + 1;
    const std::size_t end = std::max(start, std::min(databasePath.size(), databasePath.rfind('.')));
    std::string readable;
    for (const char c : databasePath.substr(start, end - start)) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (plain && readable.size() < 16) {
            readable += c;
        }
    }
    return (readable.empty() ? "database" : readable) + "-" + Fingerprint(databasePath) + ".index";
}

IndexUpkeep::IndexUpkeep(fs::path folder, std::function<bool()> given, IndexWriter::Committed committed)
    : folder_(std::move(folder)),
      writer_(std::make_unique<IndexWriter>(std::move(given), std::move(committed))) {}

void IndexUpkeep::Leave() {
    if (kept_.open) {
        writer_->Close(false);
    }
    kept_ = Kept{};
}

void IndexUpkeep::Remake() {
    if (kept_.open) {
        writer_->Close(true);
        kept_.open = false;
        kept_.ready = false;
    }
}

void IndexUpkeep::Take(const TableWrites& counts) {
    // A look that could not count tells nothing.
    if (!counts.read) {
        return;
    }
    if (!kept_.identity.empty() && counts.Identity() != kept_.identity) {
        Leave();
    }
    // Another connection counting: another stretch of the server's counts, in which every table is
    // found as held anew.
    kept_.ready = kept_.ready && counts.connection == kept_.epoch;
    kept_.epoch = counts.connection;
    kept_.counts = counts;
    kept_.unread.clear();
    kept_.changed.clear();
}

void IndexUpkeep::Written(const std::vector<std::string>& tables, long long note) {
    kept_.written.insert(tables.begin(), tables.end());
    note_ = note;
}

bool IndexUpkeep::ReadMany() {
    constexpr std::size_t kMany = 1000;
    if (tablesRead_ < kMany) {
        return false;
    }
    tablesRead_ = 0;
    return true;
}

bool IndexUpkeep::Current(const std::string& table) const {
    const auto held = kept_.held.find(table);
    return held != kept_.held.end() && held->second.epoch == kept_.epoch &&
           held->second.writes == kept_.counts.WritesOf(table) && kept_.written.count(table) == 0;
}

bool IndexUpkeep::Due(const std::string& table) const {
    return !Current(table) && kept_.unread.count(table) == 0;
}

IndexedTable IndexUpkeep::AsSeen(const std::string& table, const TableState& state) const {
    const auto listed = kept_.listed.find(table);
    return IndexedTable{listed == kept_.listed.end() ? 0 : listed->second, state,
                        kept_.counts.WritesOf(table), kept_.epoch};
}

void IndexUpkeep::Hold(std::vector<std::pair<std::string, IndexedTable>> tables, long long rows,
                       IndexWriter::Write rowsWrite) {
    std::vector<std::string> names;
    for (const auto& [name, held] : tables) {
        kept_.held[name] = held;
        kept_.written.erase(name);
        kept_.changed.erase(name);
        names.push_back(name);
    }
    writer_->Queue(
        [tables = std::move(tables), rowsWrite = std::move(rowsWrite)](IndexFile& file) {
            bool done = !rowsWrite || rowsWrite(file);
            for (const auto& [name, held] : tables) {
                done = done && file.PutTable(name, held);
            }
            return done;
        },
        std::move(names), rows, note_);
}

void IndexUpkeep::Take(const IndexWriter::Held& held) {
    kept_.held = held.tables;
    kept_.complete = held.complete;
    kept_.ready = false;
}

bool IndexUpkeep::Step(Database& database) {
    // This connection reads the database that was counted, or waits until it follows there.
    if (folder_.empty() || kept_.unusable || !kept_.counts.read ||
        database.Settings().DatabasePath() != kept_.counts.database) {
        return false;
    }
    if (!kept_.counts.shared) {
        // Whether the server counts for all connections shows once one other than the watch's has
        // read: this one reads the list of tables, once.
        if (!kept_.probed) {
            kept_.probed = true;
            GroupTablesNow(database);
        }
        return false;
    }
    if (!kept_.open) {
        Open();
        return kept_.open;
    }
    // Reads that meet a write still pending fail: what they give holds every write counted.
    database.SetReadsFailOnPendingWrites(true);
    if (writer_->Failed()) {
        // What was not written is not held; a damaged file is made anew.
        const std::optional<IndexWriter::Held> held = writer_->Recover();
        kept_.open = held.has_value();
        Take(held.value_or(IndexWriter::Held{}));
        return true;
    }
    if (Due(kTableList)) {
        ListTables(database);
        return true;
    }
    if (kept_.listed.empty() || !Current(kTableList)) {
        return false;
    }
    if (kept_.listed.count(kGroupTable) != 0 && Due(kGroupTable)) {
        ReadGroups(database);
        return true;
    }
    // Most tables held stand as they were: a check of their row count and newest record version
    // tells, and gives the size of those to read.
    std::vector<int> check;
    std::vector<int> read;
    long long rows = 0;
    // Each step looks on from where the last one stopped, round to where it began.
    auto next = kept_.listed.lower_bound(kept_.resume);
    for (std::size_t looked = 0;
         looked < kept_.listed.size() && check.size() + read.size() < kFileTablesPerStatement;
         ++looked, ++next) {
        if (next == kept_.listed.end()) {
            next = kept_.listed.begin();
        }
        const std::string& name = next->first;
        const std::optional<int> group = FileTableGroup(name);
        if (!group || !Due(name)) {
            continue;
        }
        const auto changed = kept_.changed.find(name);
        // A table only noted has never been read: it is read, not checked.
        const auto noted = kept_.held.find(name);
        const bool held = noted != kept_.held.end() && noted->second.epoch != 0;
        if (held && changed == kept_.changed.end()) {
            if (check.size() < kFileTablesPerStatement) {
                check.push_back(*group);
            }
            continue;
        }
        const long long size = changed != kept_.changed.end() ? changed->second : kept_.rowsPerTable;
        if (read.size() < kFileTablesPerStatement && (read.empty() || rows + size <= kRowsPerStatement)) {
            read.push_back(*group);
            rows += size;
        }
    }
    kept_.resume = next == kept_.listed.end() ? std::string() : next->first;
    if (!check.empty()) {
        CheckFiles(database, check);
        return true;
    }
    if (!read.empty()) {
        ReadFiles(database, read);
        return true;
    }
    if (!kept_.complete && std::all_of(kept_.listed.begin(), kept_.listed.end(), [this](const auto& table) {
            // Read once (a table only noted is held in no stretch), or unreadable.
            const auto held = kept_.held.find(table.first);
            return (held != kept_.held.end() && held->second.epoch != 0) ||
                   kept_.unread.count(table.first) != 0;
        })) {
        kept_.complete = true;
        writer_->Queue([](IndexFile& file) { return file.SetComplete(); }, {}, 0, note_);
    }
    kept_.ready =
        kept_.ready ||
        (kept_.complete && std::all_of(kept_.listed.begin(), kept_.listed.end(), [this](const auto& table) {
             return Current(table.first) || kept_.unread.count(table.first) != 0;
         }));
    return false;
}

void IndexUpkeep::Open() {
    kept_.identity = kept_.counts.Identity();
    kept_.path = folder_ / IndexFileName(kept_.counts.database);
    const std::optional<IndexWriter::Held> held = writer_->Open(kept_.path, kept_.identity);
    kept_.open = held.has_value();
    // Nowhere to keep it: the search goes on without.
    kept_.unusable = !held;
    Take(held.value_or(IndexWriter::Held{}));
}

void IndexUpkeep::ListTables(Database& database) {
    const std::optional<std::map<std::string, std::int64_t>> now = GroupTablesNow(database);
    if (!now) {
        kept_.unread.insert(kTableList);
        return;
    }
    std::vector<std::string> gone;
    for (const auto& [name, held] : kept_.held) {
        const auto listed = now->find(name);
        if (name != kTableList && (listed == now->end() || listed->second != held.relation)) {
            // Gone, or made anew: what the index held of it goes.
            gone.push_back(name);
        }
    }
    for (const std::string& name : gone) {
        kept_.held.erase(name);
    }
    kept_.listed = *now;
    // A table new to the index is noted at once, as held in no stretch of the counts: searches read
    // it in the database until it is read.
    std::vector<std::pair<std::string, IndexedTable>> noted{{kTableList, AsSeen(kTableList, {})}};
    for (const auto& [name, relation] : kept_.listed) {
        if (kept_.held.count(name) == 0) {
            noted.emplace_back(name, IndexedTable{relation, {}, 0, 0});
        }
    }
    Hold(std::move(noted), 0, [gone](IndexFile& file) {
        return std::all_of(gone.begin(), gone.end(),
                           [&](const std::string& name) { return file.DropTable(name); });
    });
}

void IndexUpkeep::ReadGroups(Database& database) {
    auto rows = std::make_shared<std::vector<GroupRecord>>();
    TableState state;
    std::string row[12];
    const int count = database.OpenSelect("GRPQRT.*, GRPQRT.RDB$RECORD_VERSION", kGroupTable, "", "N");
    if (!database.ResultOpen()) {
        kept_.unread.insert(kGroupTable);
        return;
    }
    WalkRows(database, count, row, [&] {
        state.newest = std::max(state.newest, DecimalInt64OrZero(row[11]));
        rows->emplace_back();
        std::move(row, row + rows->back().size(), rows->back().begin());
    });
    state.rows = static_cast<std::int64_t>(rows->size());
    Hold({{kGroupTable, AsSeen(kGroupTable, state)}}, state.rows,
         [rows](IndexFile& file) { return file.PutGroups(*rows); });
}

void IndexUpkeep::CheckFiles(Database& database, const std::vector<int>& groups) {
    tablesRead_ += groups.size();
    std::map<int, TableState> states;
    std::vector<int> unread;
    std::string row[3];
    ReadFileTables(
        database, groups, 0, groups.size(),
        FileTablesRead{"COUNT(*) AS C, MAX(RDB$RECORD_VERSION) AS M", "*", "", ""}, row,
        [&] {
            states[ParseIntOrZero(row[0])] = TableState{DecimalInt64OrZero(row[1]), DecimalInt64OrZero(row[2])};
        },
        unread);
    std::vector<std::pair<std::string, IndexedTable>> same;
    for (const int group : groups) {
        const std::string name = FileTableName(group);
        const auto state = states.find(group);
        if (state == states.end()) {
            kept_.unread.insert(name);
        } else if (kept_.held.at(name).state == state->second) {
            same.emplace_back(name, AsSeen(name, state->second));
        } else {
            kept_.changed[name] = state->second.rows;
        }
    }
    Hold(std::move(same), 0, {});
}

void IndexUpkeep::ReadFiles(Database& database, const std::vector<int>& groups) {
    tablesRead_ += groups.size();
    auto rows = std::make_shared<std::map<int, std::vector<FileRecord>>>();
    std::map<int, std::int64_t> newest;
    std::vector<int> unread;
    std::string row[5];
    long long count = 0;
    ReadFileTables(
        database, groups, 0, groups.size(),
        FileTablesRead{"N, FILE_NAME, PATH_NAME, RDB$RECORD_VERSION AS V", "*", "", "G, N"}, row,
        [&] {
            const int group = ParseIntOrZero(row[0]);
            (*rows)[group].push_back(FileRecord{std::move(row[1]), std::move(row[2]), std::move(row[3])});
            newest[group] = std::max(newest[group], DecimalInt64OrZero(row[4]));
            ++count;
        },
        unread);
    std::vector<std::pair<std::string, IndexedTable>> read;
    for (const int group : groups) {
        const std::string name = FileTableName(group);
        if (std::find(unread.begin(), unread.end(), group) != unread.end()) {
            kept_.unread.insert(name);
            rows->erase(group);
        } else {
            const auto size = static_cast<std::int64_t>((*rows)[group].size());
            read.emplace_back(name, AsSeen(name, TableState{size, newest[group]}));
        }
    }
    // Tables of unknown size are taken so many at a time that a statement reads about as many rows as
    // the tables read so far held on average.
    if (!read.empty()) {
        kept_.rowsPerTable = std::max(1LL, count / static_cast<long long>(read.size()));
    }
    Hold(std::move(read), count, [rows](IndexFile& file) {
        for (const auto& [group, files] : *rows) {
            if (!file.PutFiles(group, files)) {
                return false;
            }
        }
        return true;
    });
}
