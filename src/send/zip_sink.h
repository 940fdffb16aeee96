#pragma once

#include <memory>
#include <string>

#include "send/package_sink.h"

// A ZIP archive written to `path` (the file system's encoding), a file that exists and is empty, with
// zlib's minizip. Files that are compressed already (see IsStoredKind) are stored, the others
// deflated; ZIP64 where a file or the archive passes what the first ZIP format holds. Each entry keeps
// its modification time, to the second (the extended timestamp), and the two seconds of the old
// format for archivers without it.
std::unique_ptr<PackageSink> MakeZipSink(const std::string& path, ZipNames names);

// The kinds of file whose contents a deflate would not make smaller: PNG, JPEG, PDF, DWG and the
// archives and office documents that are ZIP files themselves. By the name's extension.
bool IsStoredKind(const std::string& name);
