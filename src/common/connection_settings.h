#pragma once

#include <string>

// Where the database lives and who the default author is; held as code-page bytes. The defaults are
// what the program uses when there is no settings file.
struct ConnectionSettings {
    std::string serverPrefix;  // "localhost:", an address followed by ':', or empty for embedded
    std::string dataFolder;    // the server's data folder, ending in the folder separator
    std::string databaseName;
    std::string userName;  // at most 16 bytes; the default author of new groups

    static ConnectionSettings Defaults();

    // Prefix, folder and file name joined without separators.
    std::string DatabasePath() const { return serverPrefix + dataFolder + databaseName; }
};
