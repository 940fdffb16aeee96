#include "search/change_watch.h"

#include <QApplication>

#include "search/change_look.h"
#include "storage/schema.h"

// The watch's own connection and what it has seen; used only on the watch's thread.
class ChangeLooker : public QObject {
public:
    ChangeLooker() : database_(settings_), look_(database_) {}

    // Attaches to where `settings` point, or only leaves the database attached before.
    void Follow(const ConnectionSettings& settings, bool attach) {
        database_.DisconnectDatabase();
        look_.Forget();
        settings_ = settings;
        if (attach) {
            database_.ConnectDatabase();
        }
    }

    ChangeLook::Outcome Look(int fileGroup, const std::vector<Database::OwnWrite>& ownWrites) {
        // A connection lost meanwhile is taken up again once it is made; the same database, but what
        // it shows is learned anew.
        if (database_.Lost() && database_.Reattached()) {
            look_.Forget();
        }
        if (!database_.Attached() || database_.Lost()) {
            return {};
        }
        return look_.Look(fileGroup, ownWrites);
    }

    Database& database() { return database_; }

private:
    ConnectionSettings settings_;
    Database database_;
    ChangeLook look_;
};

bool UserInTheMiddle() {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr ||
           QApplication::mouseButtons() != Qt::NoButton || Database::Waiting();
}

ChangeWatcher::ChangeWatcher(Database& database, Views views, QObject* parent)
    : QObject(parent), database_(database), views_(std::move(views)), looker_(new ChangeLooker) {
    looker_->moveToThread(&thread_);
    thread_.start();
    connect(&timer_, &QTimer::timeout, this, &ChangeWatcher::Check);
    // The watch's connection goes wherever the program's goes.
    const auto follow = [this](bool attach) {
        QMetaObject::invokeMethod(looker_, [looker = looker_, settings = database_.Settings(), attach] {
            looker->Follow(settings, attach);
        });
    };
    listening_ = database_.Listen([follow](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Attached || event == Database::ConnectionEvent::Detached) {
            follow(event == Database::ConnectionEvent::Attached);
        }
    });
    if (database_.Attached()) {
        follow(true);
    }
}

ChangeWatcher::~ChangeWatcher() {
    // A look that waits for a server is given up rather than waited for.
    looker_->database().Interrupt();
    thread_.quit();
    thread_.wait();
    delete looker_;
}

bool ChangeWatcher::UserBusy() const {
    return views_.busy() || UserInTheMiddle();
}

void ChangeWatcher::RequestRefresh() {
    refreshEverything_ = true;
    RefreshWhenFree();
}

bool ChangeWatcher::Watches(std::string_view table) const {
    const int group = watchedGroup_;
    return table == kGroupTable || (group != 0 && table == FileTableName(group));
}

void ChangeWatcher::NoteOwnWrite(const Database::OwnWrite& write) {
    std::lock_guard lock(ownWritesMutex_);
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
    watchedGroup_ = fileGroup;
    std::vector<Database::OwnWrite> written;
    {
        std::lock_guard lock(ownWritesMutex_);
        written.swap(ownWrites_);
    }
    QMetaObject::invokeMethod(looker_, [this, looker = looker_, fileGroup, written = std::move(written)] {
        const ChangeLook::Outcome outcome = looker->Look(fileGroup, written);
        QMetaObject::invokeMethod(this,
                                  [this, outcome] { Looked(outcome.groupsChanged, outcome.filesChanged); });
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
