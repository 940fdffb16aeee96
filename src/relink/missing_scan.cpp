#include "relink/missing_scan.h"

#include <QElapsedTimer>
#include <functional>
#include <map>
#include <optional>

#include "common/number.h"
#include "common/sql_literal.h"
#include "platform/file_facts.h"
#include "platform/file_looks.h"
#include "relink/mapping_suggestion.h"
#include "storage/database.h"
#include "storage/following_connection.h"
#include "storage/records.h"
#include "storage/schema.h"

namespace {

// Rows read by one statement: a block takes a few milliseconds to fetch.
constexpr int kBlockRows = 2000;
// How often the scan tells what it found so far.
constexpr int kReportMilliseconds = 50;
// Groups whose rows one read transaction reads: a table it has read cannot be dropped, by a group's
// deletion here or on another desktop, until it ends.
constexpr int kGroupsPerTransaction = 16;

// Reads the rows of group `groupNo` after number `lastNumber` into `block`, moving `lastNumber` on;
// false when the group has no more rows.
bool ReadBlock(Database& database, int groupNo, std::int64_t& lastNumber, std::vector<FileRecord>& block) {
    // FIRST limits the block; the rows after the last one read come next, in number order.
    const int count = database.OpenSelect("FIRST " + std::to_string(kBlockRows) + " N,FILE_NAME,PATH_NAME",
                                          FileTableName(groupNo), "N>" + SqlNumber(lastNumber), "N");
    block.resize(std::max(count, 0));
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database.ReadFirstRow(block[i]);
        } else {
            database.ReadNextRow(block[i]);
        }
        lastNumber = std::max<std::int64_t>(lastNumber, ParseIntOrZero(block[i][kFileN]));
    }
    database.CloseResult();
    return count == kBlockRows;
}

// How much of a missing file's folder stands on this desktop (see MissingFile), each folder looked at once.
std::size_t FolderHere(const FolderMappings& mappings, const std::string& folder,
                       std::map<std::string, std::size_t>& known) {
    const auto [at, fresh] = known.try_emplace(folder, 0);
    if (!fresh) {
        return at->second;
    }
    const std::vector<std::size_t> ends = FolderEnds(folder);
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        const std::optional<FileFacts> facts =
            FindFileFacts(StoredPathOnDisk(LocalPathOf(mappings, folder.substr(0, *end), "")));
        if (facts && !facts->isFile) {
            at->second = *end;
            break;
        }
    }
    return at->second;
}

// Walks every group's rows over `connection` unless `cancelled`, telling what it found as it goes.
void ScanGroups(FollowingConnection& connection, const FolderMappings& mappings, FileLooks& looks,
                const std::atomic<bool>& cancelled, const std::function<void(ScanReport)>& tell) {
    Database* const database = connection.Use();
    ScanReport report;
    if (database == nullptr) {
        report.done = true;
        report.lost = true;
        tell(std::move(report));
        return;
    }
    const std::vector<GroupEntry> groups = ReadGroups(*database);
    report.groupCount = static_cast<int>(groups.size());
    QElapsedTimer sinceReport;
    sinceReport.start();
    std::map<std::string, std::size_t> foldersHere;
    for (const GroupEntry& group : groups) {
        std::int64_t lastNumber = 0;
        for (bool more = true; more;) {
            if (cancelled) {
                return;
            }
            std::vector<FileRecord> block;
            more = ReadBlock(*database, group.number, lastNumber, block);
            // Without its connection no group can be read: the scan would end as if complete.
            if (database->Lost()) {
                report.done = true;
                report.lost = true;
                tell(std::move(report));
                return;
            }
            // A file on a share that does not answer is not known to be missing; a cancelled scan
            // waits for no look.
            std::vector<std::string> paths;
            for (const FileRecord& row : block) {
                paths.push_back(LocalPathOf(mappings, row[kFilePath], row[kFileName]));
            }
            const std::vector<std::optional<FileLook>> found =
                looks.LookAll(paths, mappings, cancelled, LookFor::File);
            if (cancelled) {
                return;
            }
            for (std::size_t i = 0; i < block.size(); ++i) {
                FileRecord& row = block[i];
                ++report.checked;
                if (found[i] && !(found[i]->facts && found[i]->facts->isFile)) {
                    const std::size_t here = FolderHere(mappings, row[kFilePath], foldersHere);
                    report.found.push_back({group.number, group.name, ParseIntOrZero(row[kFileN]),
                                            std::move(row[kFileName]), std::move(row[kFilePath]), here});
                    ++report.missing;
                }
            }
            if (sinceReport.elapsed() >= kReportMilliseconds) {
                sinceReport.restart();
                const ScanReport counts{
                    {}, report.checked, report.missing, report.groupsDone, report.groupCount};
                tell(std::move(report));
                report = counts;
            }
        }
        if (++report.groupsDone % kGroupsPerTransaction == 0) {
            database->CloseStatement();
        }
    }
    report.done = true;
    tell(std::move(report));
}

}  // namespace

MissingFileScan::MissingFileScan(Database& database, QObject* parent) : QObject(parent), worker_(database) {}

MissingFileScan::~MissingFileScan() {
    if (cancelled_) {
        *cancelled_ = true;
    }
}

void MissingFileScan::Start(FolderMappings mappings, FileLooks& looks) {
    if (cancelled_) {
        *cancelled_ = true;
    }
    const int generation = ++generation_;
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    running_ = true;
    connectionLost_ = false;
    found_.clear();
    worker_.Post([this, generation, cancelled = cancelled_, mappings = std::move(mappings),
                  &looks](FollowingConnection& connection) {
        ScanGroups(connection, mappings, looks, *cancelled, [this, generation](ScanReport report) {
            QMetaObject::invokeMethod(this, [this, generation, report = std::move(report)]() mutable {
                Take(generation, std::move(report));
            });
        });
    });
}

void MissingFileScan::Take(int generation, ScanReport report) {
    if (generation != generation_ || !running_) {
        return;
    }
    found_.insert(found_.end(), std::make_move_iterator(report.found.begin()),
                  std::make_move_iterator(report.found.end()));
    emit Progress(report.checked, report.missing, report.groupsDone, report.groupCount);
    if (report.done) {
        connectionLost_ = report.lost;
        Finish(report.lost);
    }
}

void MissingFileScan::Cancel() {
    if (running_) {
        *cancelled_ = true;
        Finish(true);
    }
}

void MissingFileScan::Finish(bool cancelled) {
    running_ = false;
    ++generation_;
    emit Finished(cancelled);
}
