#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One way of reading a package back, entry after entry in the order written.
class PackageReading {
public:
    virtual ~PackageReading() = default;

    // How many files the package holds; -1 when it cannot be read.
    virtual std::int64_t Count() = 0;
    // Opens entry `index`, which should be named `name` (UTF-8): false when it is not there, is named
    // otherwise, or cannot be read. `size` is what the package says it holds.
    virtual bool Open(std::size_t index, const std::string& name, std::int64_t& size) = 0;
    // 0 at the end, -1 on a failure.
    virtual std::int64_t Read(char* into, std::size_t size) = 0;
    // False when the entry's own check failed (a ZIP file's CRC-32).
    virtual bool Close() = 0;
    // Why the last step failed, where the system said (UTF-8); else empty.
    virtual std::string Error() const = 0;
};

// The files below the folder `root`.
std::unique_ptr<PackageReading> ReadFolder(const std::string& root);
// A ZIP file read with zlib's minizip, which takes names as they stand in the headers.
std::unique_ptr<PackageReading> ReadZipWithMinizip(const std::string& path);
// A ZIP file read with libzip, which takes a name from its Info-ZIP Unicode Path field when the field
// belongs to the name the header holds.
std::unique_ptr<PackageReading> ReadZipWithLibzip(const std::string& path);
