#pragma once

#include <firebird/Interface.h>

#include <string>
#include <string_view>

#include "storage/firebird_failure.h"

// How the storage layer attaches a database, also again after the connection was lost. Firebird's
// own types: only for the storage layer's sources.

// How long a server may take to answer a connection before attaching gives up (the client's own
// default would be three minutes).
inline constexpr int kConnectTimeoutSeconds = 10;

struct AttachOutcome {
    Firebird::IAttachment* attachment = nullptr;  // nullptr when attaching failed
    std::string error;                            // Firebird's words then
    FailureKind kind = FailureKind::Other;        // and what kind of trouble they tell of
    OnDiskStructures structures;                  // for a file of another on-disk structure
};

// Attaches the database at `path` (UTF-8, telling Firebird so) with the program's credentials. A path
// for the embedded engine is refused, with the reason as the error, where EmbeddedUseRefusal() says so,
// unless it names a private database of this process.
AttachOutcome AttachDatabase(Firebird::IMaster* master, const std::string& path);

// Why the database at `path` may not be opened or made by this process (EmbeddedUseRefusal() for a
// path of the embedded engine other than a private database's); empty when it may.
const std::string& RefusalToOpen(std::string_view path);

// `path` names a database on a server ("host:", "host/port:", "[host]:" or a protocol such as
// "inet://" in front), as Firebird tells it on this system; otherwise the embedded engine opens it.
bool ReachesServer(std::string_view path);

// The failure means the connection is gone (the network, the server, or the database shut down),
// not that the statement was wrong.
bool ConnectionGone(const Firebird::IStatus* status);
