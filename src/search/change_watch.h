#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <string_view>

class Database;

// How a table stands, as cheaply as the server can say it: its row count and the newest
// transaction that wrote one of its rows. Empty when it cannot be read.
std::string TableState(Database& database, std::string_view table);

// A modal dialog or a menu is open, or a mouse button is held: a command may be between its statements, or
// the user in the middle of a press. No statement of the program's own accord now.
bool UserInTheMiddle();

// Notices changes that another program made to the master table or to the open file list, and has
// the views refreshed. It never refreshes while the user is in the middle of something (a pending
// press or drag, a mouse button held, a modal dialog or a menu); it catches up at its next look afterwards.
class ChangeWatcher : public QObject {
public:
    struct Views {
        std::function<bool()> busy;          // a press or drag of the board is pending
        std::function<int()> openFileGroup;  // the group the file list shows; 0 while it is closed
        std::function<void(bool groupsChanged)> refresh;  // the board too, or only the file list
    };
    static constexpr int kIntervalMs = 2000;

    ChangeWatcher(Database& database, Views views, QObject* parent = nullptr);

    void Start() { timer_.start(kIntervalMs); }
    // One look: refreshes what changed since the last one, or what a request asked for.
    void Check();
    // Refreshes everything now, or as soon as the user is no longer in the middle of something.
    void RequestRefresh();
    // The program's own writes change the tables too; they are no news to its views.
    void NoteOwnWrite() { ownWrite_ = true; }

private:
    bool UserBusy() const;

    Database& database_;
    Views views_;
    QTimer timer_;
    bool known_ = false;
    std::string groupsState_;
    int filesGroup_ = 0;
    std::string filesState_;
    bool ownWrite_ = false;
    bool refreshRequested_ = false;
};
