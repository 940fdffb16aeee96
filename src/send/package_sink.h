#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One file of a package: its name there (code-page bytes, parts separated by '/') and its last write,
// seconds since 1970.
struct PackageEntry {
    std::string name;
    std::int64_t modified = 0;
};

// Where the bytes of a package's entries come from, one entry after another in their order: each is
// opened, read to its end and closed before the next is opened.
class EntryFeed {
public:
    virtual ~EntryFeed() = default;

    // False when the entry cannot be given (Error() says why).
    virtual bool Open(std::size_t entry) = 0;
    // The size of the entry opened.
    virtual std::int64_t Size() const = 0;
    // The next piece of the entry opened, at `bytes`, which stay as they are until the next call: how
    // many bytes, 0 once all of it was given whole, -1 on a failure.
    virtual std::int64_t Read(const char*& bytes) = 0;
    virtual void Close() = 0;
    // What went wrong, for the user (UTF-8).
    virtual std::string Error() const = 0;
};

// A folder or a ZIP file made of a feed's entries, under a temporary name of its own (see
// temporary_package.h) and left there for the caller to check and rename.
class PackageSink {
public:
    virtual ~PackageSink() = default;

    // Writes every entry in order, its bytes from `feed`, and makes the package complete and on the
    // disk. False when that failed or was cancelled: Error() says why, or the feed's error does.
    virtual bool Write(const std::vector<PackageEntry>& entries, EntryFeed& feed,
                       const std::atomic<bool>& cancel) = 0;
    virtual std::string Error() const = 0;
};

// What a ZIP package stores its names in.
enum class ZipNames {
    Utf8,   // with the language encoding flag (general purpose bit 11)
    Cp932,  // for archivers that know no UTF-8, with the Info-ZIP Unicode Path extra field beside
};
