#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "storage/database.h"

// How a table stands, as cheaply as the server can say it: its row count and the newest
// transaction that wrote one of its rows.
struct TableState {
    std::int64_t rows = 0;
    std::int64_t newest = 0;  // MAX(RDB$RECORD_VERSION); 0 for an empty table
    bool operator==(const TableState&) const = default;
};
// Nothing when the table cannot be read.
std::optional<TableState> ReadTableState(Database& database, std::string_view table);

// A modal dialog or a menu is open, a mouse button is held, or a command waits for the server: a command
// may be between its statements, or the user in the middle of a press. No statement of the program's
// own accord now.
bool UserInTheMiddle();

// Notices changes that another program made to the master table or to the open file list, and has
// the views refreshed. It never refreshes while the user is in the middle of something (a pending
// press or drag, a mouse button held, a modal dialog or a menu); it catches up at its next look afterwards.
// The program's own writes are told to it with their transactions, so that they are no news while
// another program's changes in the same moments still are.
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
    // Whether a write to `table` needs its transaction and row change told: the tables watched.
    bool Watches(std::string_view table) const;
    void NoteOwnWrite(const Database::OwnWrite& write);

private:
    // One table as the last look left it, and the program's own writes to it since.
    struct Watched {
        std::string table;  // empty: nothing known yet
        std::optional<TableState> state;
        std::set<std::int64_t> ownTransactions;
        long long ownRowsAdded = 0;
        bool ownWritten = false;
        bool ownUnknown = false;  // a write whose transaction or row change is not known
    };
    bool UserBusy() const;
    // Looks at `table` again; true when someone else changed it since the last look.
    bool Look(Watched& watched, const std::string& table);
    // The change from `before` to `now` is all the program's own.
    bool OwnChangesOnly(const Watched& watched, const TableState& before, const TableState& now);

    Database& database_;
    Views views_;
    QTimer timer_;
    Watched groups_;
    Watched files_;
    bool refreshRequested_ = false;
    std::shared_ptr<void> connection_;
};
