#include "storage/following_connection.h"

#include <utility>

void FollowingConnection::Follow(const ConnectionSettings& settings, bool attached) {
    database_.DisconnectDatabase();
    settings_ = settings;
    attach_ = attached;
}

Database* FollowingConnection::Use(bool& fresh) {
    fresh = false;
    if (std::exchange(attach_, false)) {
        database_.ConnectDatabase();
        fresh = true;
    }
    if (database_.Lost() && database_.Reattached()) {
        fresh = true;
    }
    return database_.Attached() && !database_.Lost() ? &database_ : nullptr;
}
