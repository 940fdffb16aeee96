#include "relink/missing_scan.h"

#include <QTimer>

#include "common/number.h"
#include "common/sql_literal.h"
#include "platform/codec.h"
#include "platform/file_facts.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/schema.h"

namespace {

// Rows read by one statement: a block takes a few milliseconds to fetch.
constexpr int kBlockRows = 2000;
// How long one slice may keep the GUI thread.
constexpr int kSliceMilliseconds = 15;

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
    found_.clear();
    const int generation = generation_;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == generation_) {
            Slice();
        }
    });
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
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < kSliceMilliseconds) {
        if (blockIndex_ < block_.size()) {
            MissingFile& row = block_[blockIndex_++];
            ++checked_;
            if (!FileExists(FromCp932(row.folder + row.fileName))) {
                found_.push_back(std::move(row));
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
    emit Progress(checked_, static_cast<int>(groupIndex_), static_cast<int>(groups_.size()));
    const int generation = generation_;
    QTimer::singleShot(0, this, [this, generation] {
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
    block_.clear();
    blockIndex_ = 0;
    FileRecord record;
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database_.ReadFirstRow(record);
        } else {
            database_.ReadNextRow(record);
        }
        const std::int64_t number = ParseIntOrZero(record[kFileN]);
        lastNumber_ = std::max(lastNumber_, number);
        block_.push_back({group.number, group.name, number, record[kFileName], record[kFilePath]});
    }
    database_.CloseResult();
    return count == kBlockRows;
}

void MissingFileScan::Finish(bool cancelled) {
    running_ = false;
    ++generation_;
    block_.clear();
    emit Progress(checked_, static_cast<int>(groupIndex_), static_cast<int>(groups_.size()));
    emit Finished(cancelled);
}
