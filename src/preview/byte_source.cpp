#include "preview/byte_source.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

ByteSource BytesSource(std::string_view bytes) {
    return ByteSource{bytes.size(), [bytes](std::uint64_t offset, std::size_t length) {
                          if (offset >= bytes.size()) {
                              return std::string();
                          }
                          return std::string(bytes.substr(offset, length));
                      }};
}

// C streams, not C++ ones: the preview readers run in a child process forked from a program with
// threads, where only locks that fork itself resets (the C library's) are safe to take.
ByteSource FileSource(const std::string& fileSystemPath) {
    const std::shared_ptr<std::FILE> file(std::fopen(fileSystemPath.c_str(), "rb"), [](std::FILE* opened) {
        if (opened != nullptr) {
            std::fclose(opened);
        }
    });
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return ByteSource{};
    }
    const long end = std::ftell(file.get());
    if (end <= 0) {
        return ByteSource{};
    }
    const auto size = static_cast<std::uint64_t>(end);
    return ByteSource{
        size, [file, size](std::uint64_t offset, std::size_t length) {
            std::string bytes;
            if (offset >= size || offset > static_cast<std::uint64_t>(LONG_MAX) ||
                std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) {
                return bytes;
            }
            bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, size - offset)));
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
            return bytes;
        }};
}
