#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/folder_mapping.h"
#include "platform/connection_worker.h"
#include "relink/group_list.h"

class Database;
class FileLooks;

// A registration whose file does not exist. Texts are code-page bytes as stored.
struct MissingFile {
    int group = 0;
    std::string groupName;
    std::int64_t number = 0;
    std::string fileName;
    std::string folder;
    std::size_t folderHere = 0;  // the length of the longest leading part of `folder` found on this desktop
};

// What the scan's thread tells as it goes; `done` with the last of it.
struct ScanReport {
    std::vector<MissingFile> found;  // since the report before
    long long checked = 0;
    long long missing = 0;
    int groupsDone = 0;
    int groupCount = 0;
    bool done = false;
    bool lost = false;  // the connection went away
};

// Looks at every registration of every group and collects those whose file does not exist. The
// work runs over a connection of its own on a thread of its own, which follows the program's
// connection: the windows stay responsive however slow the server or the file system. Each group's
// rows are read a block at a time; what was found arrives in portions with the progress.
class MissingFileScan : public QObject {
    Q_OBJECT
public:
    MissingFileScan(Database& database, QObject* parent);
    ~MissingFileScan() override;

    // Starts again from the first group; a scan under way is dropped. Files are looked for through
    // `looks` where `mappings` put their folders on this machine.
    void Start(FolderMappings mappings, FileLooks& looks);
    void Cancel();
    bool Running() const { return running_; }
    // The last scan ended because its connection to the server was lost.
    bool ConnectionLost() const { return connectionLost_; }
    // Hands over the missing files found since the last call.
    std::vector<MissingFile> TakeFound() { return std::exchange(found_, {}); }

signals:
    void Progress(long long checked, long long missing, int groupsDone, int groupCount);
    void Finished(bool cancelled);

private:
    void Take(int generation, ScanReport report);
    void Finish(bool cancelled);

    ConnectionWorker worker_;
    bool running_ = false;
    bool connectionLost_ = false;
    std::vector<MissingFile> found_;
    int generation_ = 0;  // reports of a scan dropped or cancelled are ignored
    std::shared_ptr<std::atomic<bool>> cancelled_;
};
