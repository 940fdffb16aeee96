#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "storage/records.h"

// A copy stands this many pixels right of and below its source.
inline constexpr int kCopyOffset = 12;

// The copy's position on one axis from the source's stored one; a NULL position counts as 0.
std::int64_t CopiedPosition(const std::string& stored);
// The copy's master row as SQL values in column order: its own number, the source's texts and
// picture, and the source's position moved by kCopyOffset.
std::array<std::string, 11> CopiedGroupValues(const GroupRecord& source, std::int64_t copyNo);
