#pragma once

#include <firebird/Interface.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/database.h"
#include "storage/reattacher.h"

// A connection's life as others see it: the session, which changes with every attach and detach;
// the listeners told of each change; and, while the connection is lost, its being made again in the
// background. Firebird's own types: only for the storage layer's sources.
class ConnectionLife {
public:
    std::uint64_t Session() const { return session_; }
    std::shared_ptr<void> Listen(Database::ConnectionListener listener);
    // Every listener is told, also one that a listener removes meanwhile is not called afterwards.
    void Tell(Database::ConnectionEvent event);

    // The connection is gone and being made again.
    bool Lost() const { return reattacher_ != nullptr; }
    // Starts making the connection to `path` again and tells the listeners, unless that is under way.
    void StartReattaching(Firebird::IMaster* master, const std::string& path);
    // The connection made again, once it is there: then it is no longer lost. The listeners are not
    // told yet.
    Firebird::IAttachment* TakeReattached();
    // No longer lost: the connection is left.
    void StopReattaching() { reattacher_.reset(); }

private:
    std::uint64_t session_ = 0;
    std::vector<std::weak_ptr<Database::ConnectionListener>> listeners_;
    std::unique_ptr<Reattacher> reattacher_;
};
