#include "search/index_keeper.h"

#include "storage/database.h"
#include "storage/schema.h"

IndexKeeper::IndexKeeper(Database& database, std::filesystem::path folder, QObject* parent)
    : QObject(parent),
      upkeep_(
          folder, [this] { return stopping_.load(); },
          [this](const std::vector<std::string>& tables, long long note) {
              // Told on the index writer's thread.
              QMetaObject::invokeMethod(this, [this, tables, note, generation = workerGeneration_.load()] {
                  Committed(tables, note, generation);
              });
          }),
      worker_(database),
      enabled_(!folder.empty()) {
    listening_ = database.Listen([this](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Detached) {
            Forget();
        }
    });
}

IndexKeeper::~IndexKeeper() {
    // A step in the middle of a long check of the file ends at once.
    stopping_ = true;
}

void IndexKeeper::Forget() {
    ++generation_;
    counts_.reset();
    {
        const std::lock_guard lock(writtenMutex_);
        written_.clear();
    }
    path_.clear();
    identity_.clear();
    ready_ = false;
    worker_.Post([this, generation = generation_](FollowingConnection&) {
        upkeep_.Leave();
        workerGeneration_ = generation;
    });
}

void IndexKeeper::Counted(const TableWrites& counts) {
    if (!enabled_) {
        return;
    }
    counts_ = std::make_shared<const TableWrites>(counts);
    worker_.Post([this, counts](FollowingConnection&) { upkeep_.Take(counts); });
    Run();
}

void IndexKeeper::Wrote(const std::string& table) {
    if (!enabled_) {
        return;
    }
    // A script may have made or dropped tables; any write may have been a table's drop.
    std::vector<std::string> tables{kTableList};
    if (!table.empty()) {
        tables.push_back(table);
    }
    long long note = 0;
    {
        const std::lock_guard lock(writtenMutex_);
        note = ++writes_;
        for (const std::string& name : tables) {
            written_[name] = note;
        }
    }
    worker_.Post([this, tables, note](FollowingConnection&) { upkeep_.Written(tables, note); });
    QMetaObject::invokeMethod(this, [this] { Run(); });
}

void IndexKeeper::Damaged() {
    if (!enabled_) {
        return;
    }
    worker_.Post([this](FollowingConnection&) { upkeep_.Remake(); });
    Run();
}

void IndexKeeper::Run() {
    if (stepping_) {
        return;
    }
    stepping_ = true;
    const unsigned generation = generation_;
    worker_.Post([this, generation](FollowingConnection& connection) {
        Database* const own = connection.Use();
        const bool more = own != nullptr && !stopping_ && upkeep_.Step(*own);
        if (own != nullptr) {
            // No table stays held by the step's transaction.
            own->CloseStatement();
        }
        if (!more) {
            // Searches find it ready once it is written.
            upkeep_.Flush();
        }
        // The server keeps a count of every table a connection has read for as long as it stays
        // attached, and every look of the change watch pays for each count (and holds them all in
        // the server's memory while it looks): after reading many tables the connection is made
        // anew, also while the index is first made.
        if (upkeep_.ReadMany()) {
            const ConnectionSettings settings = connection.database().Settings();
            connection.Follow(settings, true);
        }
        Report report{upkeep_.Path(), upkeep_.Identity(), upkeep_.Ready()};
        QMetaObject::invokeMethod(this, [this, report = std::move(report), generation, more] {
            stepping_ = false;
            Take(report, generation);
            if (more) {
                Run();
            }
        });
    });
}

void IndexKeeper::Committed(const std::vector<std::string>& tables, long long note, unsigned generation) {
    if (generation != generation_) {
        return;
    }
    const std::lock_guard lock(writtenMutex_);
    for (const std::string& table : tables) {
        const auto written = written_.find(table);
        if (written != written_.end() && written->second <= note) {
            written_.erase(written);
        }
    }
}

void IndexKeeper::Take(const Report& report, unsigned generation) {
    if (generation != generation_) {
        return;
    }
    path_ = report.path;
    identity_ = report.identity;
    ready_ = report.ready;
}

std::shared_ptr<const IndexView> IndexKeeper::View() const {
    if (path_.empty() || !counts_ || counts_->Identity() != identity_) {
        return nullptr;
    }
    auto view = std::make_shared<IndexView>();
    view->path = path_;
    view->identity = identity_;
    view->counts = counts_;
    const std::lock_guard lock(writtenMutex_);
    for (const auto& [table, note] : written_) {
        view->written.insert(table);
    }
    return view;
}
