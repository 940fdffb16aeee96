#pragma once

#include <cstdint>
#include <vector>

// Which backups to delete, given their times (seconds, in any order): everything but the 7 newest and
// the newest of each of the 4 weeks before the oldest of those. Answers positions in `times`.
std::vector<std::size_t> BackupsToDelete(const std::vector<std::int64_t>& times);
