#pragma once

#include <QObject>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/connection_worker.h"
#include "search/index_upkeep.h"
#include "search/index_view.h"

class Database;

// The search index of whatever database the program's connection attaches, made and kept up to
// date on a connection and a thread of their own, a statement at a time, from the change watch's
// looks on. Searches ask it for the index as it stands.
class IndexKeeper : public QObject {
public:
    // Index files live in `folder`; none are made when it is empty.
    IndexKeeper(Database& database, std::filesystem::path folder, QObject* parent = nullptr);
    ~IndexKeeper() override;

    // How the tables stood at the change watch's look: the index catches up with them.
    void Counted(const TableWrites& counts);
    // The program wrote `table` (empty: a script): searched in the database until the index holds it
    // again. May be told from any thread.
    void Wrote(const std::string& table);
    // A search found the file damaged: it is made anew.
    void Damaged();
    // The index as a search may use it now; nothing while there is none.
    std::shared_ptr<const IndexView> View() const;
    // The index is being made: not every table has been read once, or found as held since the
    // database was attached.
    bool Making() const { return !path_.empty() && !ready_; }
    // Work is under way or asked for.
    bool Busy() const { return stepping_; }

private:
    struct Report {
        std::filesystem::path path;
        std::string identity;
        bool ready = false;
    };
    void Run();
    void Take(const Report& report, unsigned generation);
    // The index holds these tables as they stood after the program's write `note` and those before.
    void Committed(const std::vector<std::string>& tables, long long note, unsigned generation);
    void Forget();

    // Used on the worker's thread only, and kept until it has ended.
    std::atomic<bool> stopping_{false};
    std::atomic<unsigned> workerGeneration_{0};
    IndexUpkeep upkeep_;
    ConnectionWorker worker_;

    bool enabled_;
    unsigned generation_ = 0;  // of the database attached: reports of another are not taken
    std::shared_ptr<const TableWrites> counts_;
    mutable std::mutex writtenMutex_;
    std::map<std::string, long long> written_;  // by the program, with the number of its note
    long long writes_ = 0;
    std::filesystem::path path_;
    std::string identity_;
    bool ready_ = false;
    bool stepping_ = false;
    std::shared_ptr<void> listening_;
};
