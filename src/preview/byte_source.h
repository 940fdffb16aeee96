#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Random access to the bytes of a file (or of a buffer), so that a reader takes only the parts it
// needs. `read` answers fewer bytes than asked at the end of the source, none past it.
struct ByteSource {
    std::uint64_t size = 0;
    std::function<std::string(std::uint64_t offset, std::size_t length)> read;
};

// A source over bytes held in memory; `bytes` must outlive it.
ByteSource BytesSource(std::string_view bytes);
// A source over the file at `fileSystemPath` (the file system's encoding); size 0 when it cannot be
// opened. The file stays open as long as a copy of the source lives.
ByteSource FileSource(const std::string& fileSystemPath);
