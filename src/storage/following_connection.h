#pragma once

#include "common/connection_settings.h"
#include "storage/database.h"

// A connection of its own to the database the program's connection has attached, for work done off
// the program's thread (the change watch, the search): made when it is first used, left when the
// program's connection leaves, and made again after it was lost or could not be made. Belongs to the
// thread that uses it.
class FollowingConnection {
public:
    FollowingConnection() : database_(settings_) {}

    // Leaves the database attached before; the next use attaches where `settings` point, when
    // `attached`, so that the program's start is not kept by a second connection.
    void Follow(const ConnectionSettings& settings, bool attached);
    // The connection for a piece of work, attached when it can be; nullptr when there is none now.
    Database* Use();
    // Gives up the call under way now; from any thread.
    void Interrupt() { database_.Interrupt(); }
    // For the hooks tests install; on the connection's thread only.
    Database& database() { return database_; }

private:
    ConnectionSettings settings_;
    Database database_;
    bool attach_ = false;  // it should be attached where the settings point
};
