#pragma once

#include <firebird/Interface.h>

#include <string>

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
};

// Attaches the database at `path` (UTF-8, telling Firebird so) with the program's credentials.
AttachOutcome AttachDatabase(Firebird::IMaster* master, const std::string& path);

// The failure means the connection is gone (the network, the server, or the database shut down),
// not that the statement was wrong.
bool ConnectionGone(const Firebird::IStatus* status);
