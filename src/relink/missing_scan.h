#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "storage/records.h"

#include "relink/group_list.h"

class Database;

// A registration whose file does not exist. Texts are code-page bytes as stored.
struct MissingFile {
    int group = 0;
    std::string groupName;
    std::int64_t number = 0;
    std::string fileName;
    std::string folder;
};

// Looks at every registration of every group and collects those whose file does not exist. The work
// runs in short slices on the GUI thread between other events: each slice reads a block of rows
// with one statement, closes the result before it returns, and tests files until its time is up.
class MissingFileScan : public QObject {
    Q_OBJECT
public:
    MissingFileScan(Database& database, QObject* parent);

    // Starts again from the first group; a scan under way is dropped.
    void Start();
    void Cancel();
    bool Running() const { return running_; }
    // Hands over the missing files found since the last call.
    std::vector<MissingFile> TakeFound() { return std::exchange(found_, {}); }

signals:
    void Progress(long long checked, long long missing, int groupsDone, int groupCount);
    void Finished(bool cancelled);

private:
    void Slice();
    void ScheduleSlice(int delayMs);
    // Reads the next block of the current group; false when the group has no more rows.
    bool ReadBlock();
    void Finish(bool cancelled);

    Database& database_;
    bool running_ = false;
    std::vector<GroupEntry> groups_;
    std::size_t groupIndex_ = 0;
    std::int64_t lastNumber_ = 0;  // the highest number read from the current group
    std::vector<FileRecord> block_;
    std::size_t blockIndex_ = 0;
    std::size_t blockGroup_ = 0;  // the index of the group the block was read from
    long long checked_ = 0;
    long long missing_ = 0;
    std::vector<MissingFile> found_;
    int generation_ = 0;  // a restarted scan ignores the slices queued for the one before
};
