#pragma once

#include <memory>
#include <string>

#include "send/package_sink.h"

// A ZIP archive written to `path` (the file system's encoding), a file that exists and is empty. Files
// that are compressed already (see IsStoredKind) are stored, the others deflated. Each entry keeps its
// modification time: the format's own (two seconds, local time) and the extended timestamp's.

// UTF-8 names with the language encoding flag, written with libzip: ZIP64 wherever a file, the archive
// or the number of entries passes what the first format holds.
std::unique_ptr<PackageSink> MakeUtf8ZipSink(const std::string& path);

// CP932 names with the Info-ZIP Unicode Path field, for old archivers, written with zlib's minizip: at
// most kMostCp932ZipEntries entries, since neither minizip nor those archivers know ZIP64's count.
std::unique_ptr<PackageSink> MakeCp932ZipSink(const std::string& path);
inline constexpr std::size_t kMostCp932ZipEntries = 65535;

inline std::unique_ptr<PackageSink> MakeZipSink(const std::string& path, ZipNames names) {
    return names == ZipNames::Utf8 ? MakeUtf8ZipSink(path) : MakeCp932ZipSink(path);
}
