#pragma once

#include <QThread>
#include <functional>
#include <memory>

#include "storage/following_connection.h"

class Database;

// A thread of its own with a connection of its own that follows `database` (the program's
// connection) wherever it attaches, and is made again whenever that one is after it was lost: the
// home of work done off the GUI thread, so that a server slow to answer never keeps the windows
// waiting. Work runs there in the order it was posted. When the worker is dropped, a call of its
// connection that waits for a server is given up.
class ConnectionWorker {
public:
    explicit ConnectionWorker(Database& database);
    ~ConnectionWorker();
    ConnectionWorker(const ConnectionWorker&) = delete;
    ConnectionWorker& operator=(const ConnectionWorker&) = delete;

    // Runs `work` on the worker's thread with its connection.
    void Post(std::function<void(FollowingConnection& connection)> work);

private:
    QThread thread_;
    QObject* home_;                   // lives on thread_: what posted work runs in
    FollowingConnection connection_;  // used on thread_ only
    std::shared_ptr<void> listening_;
};
