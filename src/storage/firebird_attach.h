#pragma once

#include <firebird/Interface.h>

#include <string>

// How the storage layer attaches a database, also again after the connection was lost. Firebird's
// own types: only for the storage layer's sources.

// How long a server may take to answer a connection before attaching gives up (the client's own
// default would be three minutes).
inline constexpr int kConnectTimeoutSeconds = 10;

struct AttachOutcome {
    Firebird::IAttachment* attachment = nullptr;  // nullptr when attaching failed
    std::string error;                            // Firebird's words then
};

// Attaches the database at `path` (UTF-8, telling Firebird so) with the program's credentials.
AttachOutcome AttachDatabase(Firebird::IMaster* master, const std::string& path);

// Firebird's words for a failure.
std::string ErrorText(Firebird::IMaster* master, const Firebird::IStatus* status);

// The failure means the connection is gone (the network, the server, or the database shut down),
// not that the statement was wrong.
bool ConnectionGone(const Firebird::IStatus* status);
