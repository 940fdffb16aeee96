#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "send/package_sink.h"

// What a package should hold: each entry's name (code-page bytes), size and SHA-256.
struct PackedFile {
    std::string name;
    std::int64_t size = 0;
    std::string sha256;
};

// Reads back the ZIP file `path` (the file system's encoding) whose names are `names`, as written, and
// compares every file with `expected`, in order; an empty answer when all of them match and nothing else
// is there, else what does not. It is read with the other library than the one that wrote it where that
// can read it. `readBytes` is told of each piece read; the reading stops when `cancel` is set.
using ReadTeller = std::function<void(std::int64_t bytes)>;
std::string CheckZipPackage(const std::string& path, ZipNames names, const std::vector<PackedFile>& expected,
                            const std::atomic<bool>& cancel, const ReadTeller& readBytes);

// A folder package read back while it is written, each file as soon as it is whole, on a thread of its
// own.
class FolderCheckAlong {
public:
    FolderCheckAlong(std::string root, const std::atomic<bool>& cancel);
    ~FolderCheckAlong();
    FolderCheckAlong(const FolderCheckAlong&) = delete;
    FolderCheckAlong& operator=(const FolderCheckAlong&) = delete;

    // `file` is whole in the folder.
    void Add(const PackedFile& file);
    // No more files are added: waits for the check of those that were; empty when all of them match
    // and nothing else is there, else what does not.
    std::string Finish();

private:
    std::optional<PackedFile> Next();

    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<PackedFile> waiting_;
    bool finished_ = false;
    std::string problem_;
    std::thread thread_;
};

// How much the reading and the copying take at a time: enough for the disk, never a whole file, and
// little enough to stay in the processor's cache between its read and its write (with a megabyte, a
// copy here took twice as long).
inline constexpr std::size_t kStreamPiece = 128 << 10;
