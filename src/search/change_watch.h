#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/connection_worker.h"
#include "search/change_look.h"
#include "search/table_writes.h"
#include "storage/database.h"

// A modal dialog or a menu is open, a mouse button is held, or a command waits for the server: a command
// may be between its statements, or the user in the middle of a press. No statement of the program's
// own accord on the program's connection now.
bool UserInTheMiddle();

// Notices changes that another program made to the master table or to the open file list, and has
// the views refreshed. It looks every two seconds over a connection of its own, on a thread of its
// own, so that a server slow to answer never keeps the windows waiting. It never refreshes while the
// user is in the middle of something (a pending press or drag, a mouse button held, a modal dialog or
// a menu); it catches up as soon as the user is done.
class ChangeWatcher : public QObject {
public:
    struct Views {
        std::function<bool()> busy;          // a press or drag of the board is pending
        std::function<int()> openFileGroup;  // the group the file list shows; 0 while it is closed
        std::function<void(bool groupsChanged)> refresh;  // the board too, or only the file list
    };
    static constexpr int kIntervalMs = 2000;

    // Follows `database` (the program's connection) to whatever it attaches; its first look there
    // compares with how the master table stood when the connection was attached, just before the
    // board is read.
    ChangeWatcher(Database& database, Views views, QObject* parent = nullptr);

    void Start() { timer_.start(kIntervalMs); }
    // Starts a look unless one is under way, and refreshes what earlier looks found once the user is
    // not in the middle of something.
    void Check();
    // A look is under way.
    bool Looking() const { return looking_; }
    // Refreshes everything now, or as soon as the user is no longer in the middle of something.
    void RequestRefresh();
    // Whether a write to `table` needs its transaction and row change told: the tables watched. May
    // be asked from any thread.
    bool Watches(std::string_view table) const;
    // The program's own writes; may be told from any thread.
    void NoteOwnWrite(const Database::OwnWrite& write);

    // When set, looks also count every group table's writes (see table_writes.h) and tell: each look,
    // unless counting takes so long that the server would spend more than a twentieth of its time
    // on it; then every few looks.
    std::function<void(const TableWrites& counts)> onCounted;

private:
    // The views are about to read the master table (when `groups`) and the file table of
    // `fileGroup` (0: none): the next look compares with how those stand now, so that nothing
    // written from now on is missed. One short statement each, on the program's connection.
    void ExpectWhatTheViewsRead(bool groups, int fileGroup);
    bool UserBusy() const;
    void Looked(bool groupsChanged, bool filesChanged);
    void RefreshWhenFree();

    Database& database_;
    Views views_;
    QTimer timer_;
    ChangeLook look_;  // used on the worker's thread only
    ConnectionWorker worker_;
    bool looking_ = false;
    bool refreshFiles_ = false;
    bool refreshEverything_ = false;
    std::atomic<int> watchedGroup_{0};
    QDeadlineTimer countDue_{0};
    mutable std::mutex ownWritesMutex_;
    std::vector<Database::OwnWrite> ownWrites_;
    std::shared_ptr<void> listening_;
};
