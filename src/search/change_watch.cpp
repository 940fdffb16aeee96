#include "search/change_watch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <optional>
#include <utility>

#include "storage/schema.h"

bool UserInTheMiddle() {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr ||
           QApplication::mouseButtons() != Qt::NoButton || Database::Waiting();
}

ChangeWatcher::ChangeWatcher(Database& database, Views views, QObject* parent)
    : QObject(parent), database_(database), views_(std::move(views)), worker_(database) {
    connect(&timer_, &QTimer::timeout, this, &ChangeWatcher::Check);
}

void ChangeWatcher::ViewRead(const std::string& table, const std::optional<TableState>& state) {
    {
        // The program's own writes so far are in that state already.
        std::lock_guard lock(mutex_);
        std::erase_if(ownWrites_, [&](const Database::OwnWrite& write) { return write.table == table; });
        if (table != kGroupTable) {
            watchedFiles_ = table;
        }
    }
    worker_.Post([this, table, state](FollowingConnection&) { look_.Expect(table, state); });
}

bool ChangeWatcher::UserBusy() const {
    return views_.busy() || UserInTheMiddle();
}

void ChangeWatcher::RequestRefresh() {
    refreshEverything_ = true;
    RefreshWhenFree();
}

bool ChangeWatcher::Watches(std::string_view table) const {
    std::lock_guard lock(mutex_);
    return table == kGroupTable || (!watchedFiles_.empty() && table == watchedFiles_);
}

void ChangeWatcher::NoteOwnWrite(const Database::OwnWrite& write) {
    std::lock_guard lock(mutex_);
    ownWrites_.push_back(write);
}

void ChangeWatcher::Check() {
    RefreshWhenFree();
    // While the program's connection is away there is nothing it could read again.
    if (looking_ || !database_.Attached() || database_.Lost()) {
        return;
    }
    looking_ = true;
    const int fileGroup = views_.openFileGroup();
    std::vector<Database::OwnWrite> written;
    {
        std::lock_guard lock(mutex_);
        watchedFiles_ = fileGroup != 0 ? FileTableName(fileGroup) : std::string();
        written.swap(ownWrites_);
    }
    const bool count = onCounted && countDue_.hasExpired();
    worker_.Post([this, fileGroup, count, written = std::move(written)](FollowingConnection& connection) {
        Database* const own = connection.Use();
        ChangeLook::Outcome outcome;
        std::optional<TableWrites> counts;
        QElapsedTimer counting;
        if (own != nullptr) {
            outcome = look_.Look(*own, fileGroup, written);
            own->CloseStatement();  // the tables looked at are not held until the next look
            if (count) {
                counting.start();
                counts = ReadTableWrites(*own);
            }
        }
        const qint64 spent = counts ? counting.elapsed() : 0;
        QMetaObject::invokeMethod(this, [this, outcome, counts = std::move(counts), spent] {
            Looked(outcome.groupsChanged, outcome.filesChanged);
            if (counts && onCounted) {
                countDue_.setRemainingTime(20 * spent);
                onCounted(*counts);
            }
        });
    });
}

void ChangeWatcher::Looked(bool groupsChanged, bool filesChanged) {
    looking_ = false;
    refreshEverything_ = refreshEverything_ || groupsChanged;
    refreshFiles_ = refreshFiles_ || filesChanged;
    RefreshWhenFree();
}

void ChangeWatcher::RefreshWhenFree() {
    if ((!refreshEverything_ && !refreshFiles_) || UserBusy()) {
        return;
    }
    const bool everything = refreshEverything_;
    refreshEverything_ = false;
    refreshFiles_ = false;
    views_.refresh(everything);
}
