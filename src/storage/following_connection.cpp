#include "storage/following_connection.h"

void FollowingConnection::Follow(const ConnectionSettings& settings, bool attached) {
    database_.DisconnectDatabase();
    settings_ = settings;
    attach_ = attached;
}

Database* FollowingConnection::Use() {
    // An attach that failed (the server away at that moment) is tried again at the next use.
    if (attach_ && !database_.Attached()) {
        database_.ConnectDatabase();
    }
    if (database_.Lost()) {
        database_.Reattached();
    }
    return database_.Attached() && !database_.Lost() ? &database_ : nullptr;
}
