#pragma once

#include <string>
#include <string_view>

// A database this process makes for itself alone, in a folder of its own (a backup's check copy).
// No other engine or server ever opens its file, so the embedded engine may open it whatever the
// server mode, while the object lives.
class PrivateDatabase {
public:
    // `path` as Firebird gets it (UTF-8).
    explicit PrivateDatabase(std::string path);
    ~PrivateDatabase();
    PrivateDatabase(const PrivateDatabase&) = delete;
    PrivateDatabase& operator=(const PrivateDatabase&) = delete;

private:
    std::string path_;
};

// `path` names a private database of this process.
bool IsPrivateDatabase(std::string_view path);
