#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "send/package_sink.h"

// What a package should hold: each entry's name (code-page bytes), size and SHA-256.
struct PackedFile {
    std::string name;
    std::int64_t size = 0;
    std::string sha256;
};

// Reads back the folder `root`, or the ZIP file `path` (the file system's encoding) whose names are
// `names`, as written, and compares every file with `expected`, in order; an empty answer when all of
// them match and nothing else is there, else what does not. A ZIP file is read with the other library
// than the one that wrote it where that can read it. `readBytes` is told of each piece read; the reading
// stops when `cancel` is set.
using ReadTeller = std::function<void(std::int64_t bytes)>;
std::string CheckFolderPackage(const std::string& root, const std::vector<PackedFile>& expected,
                               const std::atomic<bool>& cancel, const ReadTeller& readBytes);
std::string CheckZipPackage(const std::string& path, ZipNames names, const std::vector<PackedFile>& expected,
                            const std::atomic<bool>& cancel, const ReadTeller& readBytes);

// How much the reading and the copying take at a time: enough for the disk, never a whole file, and
// little enough to stay in the processor's cache between its read and its write (with a megabyte, a
// copy here took twice as long).
inline constexpr std::size_t kStreamPiece = 128 << 10;
