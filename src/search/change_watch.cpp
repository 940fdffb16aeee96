#include "search/change_watch.h"

#include <QApplication>

#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

std::string TableState(Database& database, std::string_view table) {
    std::string row[2];
    const int count = database.OpenSelect("COUNT(*), MAX(RDB$RECORD_VERSION)", table, "", "");
    WalkRows(database, count, row, [] {});
    return count == 1 ? row[0] + "/" + row[1] : std::string();
}

ChangeWatcher::ChangeWatcher(Database& database, Views views, QObject* parent)
    : QObject(parent), database_(database), views_(std::move(views)) {
    connect(&timer_, &QTimer::timeout, this, &ChangeWatcher::Check);
}

bool UserInTheMiddle() {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr ||
           QApplication::mouseButtons() != Qt::NoButton;
}

bool ChangeWatcher::UserBusy() const {
    return views_.busy() || UserInTheMiddle();
}

void ChangeWatcher::RequestRefresh() {
    refreshRequested_ = true;
    Check();
}

void ChangeWatcher::Check() {
    if (UserBusy()) {
        return;
    }
    // Detached (closing, or another database being chosen) there is nothing to watch; once attached
    // again, the first look learns how the new connection's tables stand.
    if (!database_.Attached()) {
        known_ = false;
        return;
    }
    const int fileGroup = views_.openFileGroup();
    const std::string groups = TableState(database_, kGroupTable);
    const std::string files =
        fileGroup != 0 ? TableState(database_, FileTableName(fileGroup)) : std::string();
    // The first look, and a look after the program's own writes, only learn how things stand.
    const bool news = known_ && !ownWrite_;
    const bool groupsChanged = news && groups != groupsState_;
    const bool filesChanged = news && fileGroup == filesGroup_ && files != filesState_;
    known_ = true;
    ownWrite_ = false;
    groupsState_ = groups;
    filesGroup_ = fileGroup;
    filesState_ = files;
    if (refreshRequested_ || groupsChanged || filesChanged) {
        const bool everything = refreshRequested_ || groupsChanged;
        refreshRequested_ = false;
        views_.refresh(everything);
    }
}
