#pragma once

#include <chrono>
#include <functional>

#include "storage/connection_thread.h"
#include "storage/firebird_attach.h"

// Making a connection to a server, which may wait for one that does not answer: `make` runs on a
// thread of its own while the asking thread waits through `waiter` (when there is one), at most
// `allowed`, and no longer once `givenUp` answers true. A connection made after that is let go on its
// thread. Firebird's own types: only for the storage layer's sources.
AttachOutcome MakeConnection(std::function<AttachOutcome()> make, std::chrono::milliseconds allowed,
                             const ConnectionThread::Waiter& waiter, const std::function<bool()>& givenUp);

// Connections being made (attaches and creations through servers, tries to attach again) by threads
// that nobody waits for any more.
int ConnectionsBeingMade();

// Counts a connection being made while it lives.
class ConnectionBeingMade {
public:
    ConnectionBeingMade();
    ~ConnectionBeingMade();
    ConnectionBeingMade(const ConnectionBeingMade&) = delete;
    ConnectionBeingMade& operator=(const ConnectionBeingMade&) = delete;
};
