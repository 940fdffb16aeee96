#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
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

    // Follows `database` (the program's connection) to whatever it attaches; each look there compares
    // with what the views read last (see ViewRead).
    ChangeWatcher(Database& database, Views views, QObject* parent = nullptr);

    // A view read `table` (the master table or the open list's file table) as it stood in `state`, at
    // the moment of its rows: the next look at it compares with that, so that nothing written since is
    // missed, however soon.
    void ViewRead(const std::string& table, const std::optional<TableState>& state);

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
    mutable std::mutex mutex_;  // for what the connection's thread asks and tells
    std::string watchedFiles_;  // the file table looked at: the open list's
    QDeadlineTimer countDue_{0};
    std::vector<Database::OwnWrite> ownWrites_;
};
