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

// A statement reads at most this many registrations, unless one table alone holds more.
constexpr long long kRowsPerStatement = 20000;

}  // namespace

std::string IndexFileName(const std::string& databasePath) {
    const std::size_t start = databasePath.find_last_of("/\\:") + 1;
    const std::string name =
        databasePath.substr(start, databasePath.rfind('.') - std::min(start, databasePath.rfind('.')));
    std::string readable;
    for (const char c : name) {
        if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) &&
            readable.size() < 16) {
            readable += c;
        }
    }
    return (readable.empty() ? "database" : readable) + "-" + Fingerprint(databasePath) + ".index";
}

IndexUpkeep::IndexUpkeep(fs::path folder, std::function<bool()> given)
    : folder_(std::move(folder)), given_(std::move(given)) {}

IndexUpkeep::~IndexUpkeep() = default;
IndexUpkeep& IndexUpkeep::operator=(IndexUpkeep&&) = default;

void IndexUpkeep::Leave() {
    *this = IndexUpkeep(std::move(folder_), std::move(given_));
}

bool IndexUpkeep::Ready() const {
    const auto list = held_.find(kTableList);
    return complete_ && epoch_ != 0 && list != held_.end() && list->second.epoch == epoch_;
}

void IndexUpkeep::Take(const TableWrites& counts) {
    // A look that could not count tells nothing.
    if (!counts.read) {
        return;
    }
    if (!identity_.empty() && counts.Identity() != identity_) {
        Leave();
    }
    if (counts.connection != epoch_) {
        // Another stretch of the server's counts: none seen so far belongs to it.
        epoch_ = counts.connection;
        seen_.clear();
    }
    counts_ = counts;
    std::set<std::string> tables{kGroupTable, kTableList};
    for (const auto& [name, writes] : counts.writes) {
        tables.insert(name);
    }
    for (const auto& [name, held] : held_) {
        tables.insert(name);
    }
    for (const auto& [name, relation] : listed_) {
        tables.insert(name);
    }
    for (const std::string& table : tables) {
        const std::int64_t writes = counts.WritesOf(table);
        const auto [seen, fresh] = seen_.try_emplace(table, Seen{writes, counts.next});
        if (!fresh && seen->second.writes != writes) {
            seen->second = Seen{writes, counts.next};
        }
    }
    unread_.clear();
    changed_.clear();
}

void IndexUpkeep::Written(const std::vector<std::string>& tables) {
    written_.insert(tables.begin(), tables.end());
}

std::vector<std::string> IndexUpkeep::TakeRecorded() {
    return std::exchange(recorded_, {});
}

bool IndexUpkeep::Current(const std::string& table) const {
    const auto held = held_.find(table);
    const auto seen = seen_.find(table);
    return held != held_.end() && seen != seen_.end() && held->second.epoch == epoch_ &&
           held->second.writes == seen->second.writes && written_.count(table) == 0;
}

bool IndexUpkeep::Settled(const std::string& table) const {
    // Every transaction that had written the table as counted has ended: what is read now is final.
    const auto seen = seen_.find(table);
    return seen != seen_.end() && counts_.oldestActive >= seen->second.since;
}

bool IndexUpkeep::Due(const std::string& table) const {
    return !Current(table) && Settled(table) && unread_.count(table) == 0;
}

IndexedTable IndexUpkeep::AsSeen(const std::string& table, const TableState& state) const {
    const auto seen = seen_.find(table);
    const auto listed = listed_.find(table);
    return IndexedTable{listed == listed_.end() ? 0 : listed->second, state,
                        seen == seen_.end() ? 0 : seen->second.writes, epoch_};
}

bool IndexUpkeep::Record(const std::string& table, const IndexedTable& held) {
    if (!file_->PutTable(table, held)) {
        return false;
    }
    held_[table] = held;
    written_.erase(table);
    changed_.erase(table);
    recorded_.push_back(table);
    return true;
}

void IndexUpkeep::Finish(bool done) {
    if (file_->End() && done) {
        return;
    }
    if (file_->FoundDamaged()) {
        Discard();
        return;
    }
    // What was not written is not held.
    held_ = file_->Tables();
}

void IndexUpkeep::Discard() {
    file_.reset();
    IndexFile::Remove(path_);
    held_.clear();
    complete_ = false;
}

void IndexUpkeep::Remake() {
    if (file_) {
        Discard();
    }
}

bool IndexUpkeep::Step(Database& database) {
    // This connection reads the database that was counted, or waits until it follows there.
    if (unusable_ || folder_.empty() || !counts_.read || !counts_.shared ||
        database.Settings().DatabasePath() != counts_.database) {
        return false;
    }
    if (!file_) {
        Open();
        return file_ != nullptr;
    }
    if (Due(kTableList)) {
        ListTables(database);
        return true;
    }
    if (listed_.empty() || !Current(kTableList)) {
        return false;
    }
    if (listed_.count(kGroupTable) != 0 && Due(kGroupTable)) {
        ReadGroups(database);
        return true;
    }
    // Most tables stand as they were held: a check of their row count and newest record version
    // tells, and gives the size of those to read.
    std::vector<int> check;
    std::vector<int> read;
    long long rows = 0;
    for (const auto& [name, relation] : listed_) {
        const std::optional<int> group = FileTableGroup(name);
        if (!group || !Due(name)) {
            continue;
        }
        const auto changed = changed_.find(name);
        if (changed == changed_.end()) {
            if (check.size() < kFileTablesPerStatement) {
                check.push_back(*group);
            }
        } else if (read.size() < kFileTablesPerStatement &&
                   (read.empty() || rows + changed->second <= kRowsPerStatement)) {
            read.push_back(*group);
            rows += changed->second;
        }
    }
    if (!check.empty()) {
        CheckFiles(database, check);
        return true;
    }
    if (!read.empty()) {
        ReadFiles(database, read);
        return true;
    }
    if (!complete_ && std::all_of(listed_.begin(), listed_.end(), [this](const auto& table) {
            return held_.count(table.first) != 0 || unread_.count(table.first) != 0;
        })) {
        file_->SetComplete();
        complete_ = true;
    }
    return false;
}

void IndexUpkeep::Open() {
    identity_ = counts_.Identity();
    path_ = folder_ / IndexFileName(counts_.database);
    file_ = IndexFile::OpenToKeep(path_, identity_, given_);
    // Nowhere to keep it: the search goes on without.
    unusable_ = file_ == nullptr && !(given_ && given_());
    if (file_) {
        file_->GiveUpWhen(given_);
        held_ = file_->Tables();
        complete_ = file_->Complete();
    }
}

void IndexUpkeep::ListTables(Database& database) {
    const std::optional<std::map<std::string, std::int64_t>> now = GroupTablesNow(database);
    if (!now) {
        unread_.insert(kTableList);
        return;
    }
    bool done = file_->Begin();
    for (const auto& [name, held] : std::map(held_)) {
        const auto listed = now->find(name);
        if (name != kTableList && (listed == now->end() || listed->second != held.relation)) {
            // Gone, or made anew: what the index held of it goes.
            done = done && file_->DropTable(name);
            held_.erase(name);
        }
    }
    listed_ = *now;
    for (const auto& [name, relation] : listed_) {
        seen_.try_emplace(name, Seen{counts_.WritesOf(name), counts_.next});
    }
    done = done && Record(kTableList, AsSeen(kTableList, {}));
    Finish(done);
}

void IndexUpkeep::ReadGroups(Database& database) {
    std::vector<GroupRecord> rows;
    TableState state;
    std::string row[12];
    const int count = database.OpenSelect("GRPQRT.*, GRPQRT.RDB$RECORD_VERSION", kGroupTable, "", "N");
    if (!database.ResultOpen()) {
        unread_.insert(kGroupTable);
        return;
    }
    WalkRows(database, count, row, [&] {
        state.newest = std::max(state.newest, DecimalOrZero(row[11]));
        rows.emplace_back();
        std::move(row, row + rows.back().size(), rows.back().begin());
    });
    state.rows = static_cast<std::int64_t>(rows.size());
    Finish(file_->Begin() && file_->PutGroups(rows) && Record(kGroupTable, AsSeen(kGroupTable, state)));
}

void IndexUpkeep::CheckFiles(Database& database, const std::vector<int>& groups) {
    std::map<int, TableState> states;
    std::vector<int> unread;
    std::string row[3];
    ReadFileTables(
        database, groups, 0, groups.size(),
        FileTablesRead{"COUNT(*) AS C, MAX(RDB$RECORD_VERSION) AS M", "*", "", ""}, row,
        [&] {
            states[ParseIntOrZero(row[0])] = TableState{DecimalOrZero(row[1]), DecimalOrZero(row[2])};
        },
        unread);
    bool done = file_->Begin();
    for (const int group : groups) {
        const std::string name = FileTableName(group);
        const auto held = held_.find(name);
        const auto state = states.find(group);
        if (state == states.end()) {
            unread_.insert(name);
        } else if (held != held_.end() && held->second.state == state->second) {
            done = done && Record(name, AsSeen(name, state->second));
        } else {
            changed_[name] = state->second.rows;
        }
    }
    Finish(done);
}

void IndexUpkeep::ReadFiles(Database& database, const std::vector<int>& groups) {
    std::map<int, std::vector<FileRecord>> rows;
    std::map<int, std::int64_t> newest;
    std::vector<int> unread;
    std::string row[5];
    ReadFileTables(
        database, groups, 0, groups.size(),
        FileTablesRead{"N, FILE_NAME, PATH_NAME, RDB$RECORD_VERSION AS V", "*", "", "G, N"}, row,
        [&] {
            const int group = ParseIntOrZero(row[0]);
            rows[group].push_back(FileRecord{row[1], row[2], row[3]});
            newest[group] = std::max(newest[group], DecimalOrZero(row[4]));
        },
        unread);
    bool done = file_->Begin();
    for (const int group : groups) {
        const std::string name = FileTableName(group);
        if (std::find(unread.begin(), unread.end(), group) != unread.end()) {
            unread_.insert(name);
            continue;
        }
        const std::vector<FileRecord>& files = rows[group];
        done = done && file_->PutFiles(group, files) &&
               Record(name, AsSeen(name, TableState{static_cast<std::int64_t>(files.size()), newest[group]}));
    }
    Finish(done);
}
