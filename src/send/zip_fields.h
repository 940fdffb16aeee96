#pragma once

#include <cstdint>
#include <string>

// What both ZIP writers put into their entries alike.

// How hard the files that are not stored are deflated: zlib's default, as the zip command's.
inline constexpr int kDeflateLevel = 6;
// Each entry is a regular file readable by all (rw-r--r--), as made on a Unix system.
inline constexpr std::uint32_t kRegularFileMode = 0100644;
inline constexpr std::uint16_t kExtendedTimestampId = 0x5455;

// The extended timestamp's data: the modification time to the second, UTC, where the format's own
// time has two seconds and no time zone.
std::string ExtendedTimestamp(std::int64_t modified);
// An extra field: its id, the data's length, the data.
std::string ExtraField(std::uint16_t id, const std::string& data);

// The kinds of file whose contents a deflate would not make smaller: PNG, JPEG, PDF, DWG and the
// archives and office documents that are ZIP files themselves. By the name's extension.
bool IsStoredKind(const std::string& name);
