#include "relink/missing_scan.h"

#include <QTimer>

#include "common/number.h"
#include "common/sql_literal.h"
#include "platform/file_facts.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/schema.h"

namespace {

// Rows read by one statement: a block takes a few milliseconds to fetch.
constexpr int kBlockRows = 2000;
// How long one slice may keep the GUI thread.
constexpr int kSliceMilliseconds = 15;
// How long a slice waits for a command that waits for the server.
constexpr int kRetryMilliseconds = 20;

}  // namespace

MissingFileScan::MissingFileScan(Database& database, QObject* parent)
    : QObject(parent), database_(database) {}

void MissingFileScan::Start() {
    ++generation_;
    running_ = true;
    groups_ = ReadGroups(database_);
    groupIndex_ = 0;
    lastNumber_ = 0;
    block_.clear();
    blockIndex_ = 0;
    checked_ = 0;
    missing_ = 0;
    found_.clear();
    ScheduleSlice(0);
}

void MissingFileScan::Cancel() {
    if (running_) {
        Finish(true);
    }
}

void MissingFileScan::Slice() {
    if (!running_) {
        return;
    }
    // A command waiting for the server has the connection: the scan goes on after it.
    if (Database::Waiting()) {
        ScheduleSlice(kRetryMilliseconds);
        return;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < kSliceMilliseconds) {
        // Without its connection no group can be read: the scan would end as if it were complete.
        if (database_.Lost()) {
            Finish(true);
            return;
        }
        if (blockIndex_ < block_.size()) {
            FileRecord& row = block_[blockIndex_++];
            ++checked_;
            if (!StoredFileExists(row[kFilePath] + row[kFileName])) {
                // The block's group: after the group's last block the index has moved on.
                const GroupEntry& group = groups_[blockGroup_];
                found_.push_back({group.number, group.name, ParseIntOrZero(row[kFileN]),
                                  std::move(row[kFileName]), std::move(row[kFilePath])});
                ++missing_;
            }
            continue;
        }
        if (groupIndex_ >= groups_.size()) {
            Finish(false);
            return;
        }
        if (!ReadBlock()) {
            ++groupIndex_;
            lastNumber_ = 0;
        }
    }
    emit Progress(checked_, missing_, static_cast<int>(groupIndex_), static_cast<int>(groups_.size()));
    ScheduleSlice(0);
}

void MissingFileScan::ScheduleSlice(int delayMs) {
    const int generation = generation_;
    QTimer::singleShot(delayMs, this, [this, generation] {
        if (generation == generation_) {
            Slice();
        }
    });
}

bool MissingFileScan::ReadBlock() {
    const GroupEntry& group = groups_[groupIndex_];
    // FIRST limits the block; the rows after the last one read come next, in number order.
    const int count = database_.OpenSelect("FIRST " + std::to_string(kBlockRows) + " N,FILE_NAME,PATH_NAME",
                                           FileTableName(group.number), "N>" + SqlNumber(lastNumber_), "N");
    block_.resize(std::max(count, 0));
    blockIndex_ = 0;
    blockGroup_ = groupIndex_;
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database_.ReadFirstRow(block_[i]);
        } else {
            database_.ReadNextRow(block_[i]);
        }
        lastNumber_ = std::max<std::int64_t>(lastNumber_, ParseIntOrZero(block_[i][kFileN]));
    }
    database_.CloseResult();
    return count == kBlockRows;
}

void MissingFileScan::Finish(bool cancelled) {
    running_ = false;
    ++generation_;
    block_.clear();
    emit Progress(checked_, missing_, static_cast<int>(groupIndex_), static_cast<int>(groups_.size()));
    emit Finished(cancelled);
}
