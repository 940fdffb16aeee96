#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "search/index_file.h"

// The writes of one index file, on a thread of their own, so that the next tables are read from the
// database meanwhile. Writes queued back to back are made in one transaction: all of them stand, or
// none.
class IndexWriter {
public:
    // Told, on the writer's thread, of the tables each committed transaction wrote and the greatest
    // note its writes carried.
    using Committed = std::function<void(const std::vector<std::string>& tables, long long note)>;
    using Write = std::function<bool(IndexFile& file)>;
    struct Held {
        std::map<std::string, IndexedTable> tables;
        bool complete = false;
    };

    // What runs on the file is given up once `given` answers true.
    IndexWriter(std::function<bool()> given, Committed committed);
    // Writes still queued are given up: the file keeps what was committed.
    ~IndexWriter();
    IndexWriter(const IndexWriter&) = delete;
    IndexWriter& operator=(const IndexWriter&) = delete;

    // After the writes queued: opens the index at `path` for `identity` (see IndexFile::OpenToKeep)
    // and answers what it holds; nothing when there is none.
    std::optional<Held> Open(const std::filesystem::path& path, const std::string& identity);
    // After the writes queued: lets go of the file, removing it when `remove`.
    void Close(bool remove);
    // A write failed since the file was opened or recovered; asked without waiting.
    bool Failed();
    // Waits until the writes queued are done.
    void Flush();
    // After the writes queued: what the file holds, read again after a failed write; nothing when it
    // was found damaged, and is removed.
    std::optional<Held> Recover();
    // Queues a write of `tables` holding about `rows` rows, carrying `note`; waits while twice as many
    // as one statement reads are queued.
    void Queue(Write write, std::vector<std::string> tables, long long rows, long long note);

private:
    struct Job {
        Write write;
        std::vector<std::string> tables;
        long long rows = 0;
        long long note = 0;
        std::function<void()> alone;  // a job that runs by itself, between the writes
    };
    void Run();
    // Runs `work` on the writer's thread after the writes queued, and answers what it answered.
    template <typename Answer>
    Answer After(std::function<Answer()> work);
    void Commit(std::vector<Job>& batch);
    Held ReadHeld();

    std::function<bool()> given_;
    Committed committed_;
    std::unique_ptr<IndexFile> file_;  // on the writer's thread only
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    long long queuedRows_ = 0;
    bool stopping_ = false;
    bool failed_ = false;
    bool damaged_ = false;
    std::thread thread_;
};
