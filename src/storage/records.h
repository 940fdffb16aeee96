#pragma once

#include <array>
#include <string>

// One master row of GRPQRT as texts, in column order; NULL reads as empty text.
using GroupRecord = std::array<std::string, 11>;
// One row of a file table GRP_<n>: N, FILE_NAME, PATH_NAME.
using FileRecord = std::array<std::string, 3>;

enum GroupColumn : int {
    kGroupN = 0,
    kGroupName = 1,
    kGroupMainTitle = 2,
    kGroupSubTitle = 3,
    kGroupAuthor = 4,
    kGroupMemo1 = 5,
    kGroupMemo2 = 6,
    kGroupMemo3 = 7,
    kGroupIcon = 8,
    kGroupX = 9,
    kGroupY = 10,
};

enum FileColumn : int { kFileN = 0, kFileName = 1, kFilePath = 2 };
