#pragma once

#include <filesystem>

// A filesystem of its own at `where` (a tmpfs of `size`, for example "1m"), so that a test can run a
// disk full or read-only; mounting needs root, and without it Mounted() is false.
class SmallFilesystem {
public:
    SmallFilesystem(const std::filesystem::path& where, const char* size, bool readOnly = false);
    ~SmallFilesystem();
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool Mounted() const { return mounted_; }
    // Leaves less room than a page of Firebird's.
    void Fill() const;

private:
    std::filesystem::path where_;
    bool mounted_ = false;
};
