#pragma once

#include <QTemporaryDir>
#include <string>

#include "common/connection_settings.h"

// A place for one fresh database per test, in its own temporary folder: embedded (empty server
// prefix) or, when the suite runs against the private test server, through that server.
class TestDatabaseLocation {
public:
    TestDatabaseLocation();

    // Settings naming a database "TEST.FDB" that does not exist yet in the temporary folder.
    const ConnectionSettings& settings() const { return settings_; }
    // The temporary folder, ending in "/".
    const std::string& folder() const { return folder_; }
    // True when the suite runs through the private server.
    static bool ThroughServer();
    // The private server's prefix ("127.0.0.1/<port>:"), empty for embedded runs.
    static std::string ServerPrefix();

private:
    QTemporaryDir dir_;
    std::string folder_;
    ConnectionSettings settings_;
};
