#include "board/group_copy_values.h"

#include "common/number.h"
#include "common/sql_literal.h"

std::int64_t CopiedPosition(const std::string& stored) {
    return std::int64_t{ParseIntOrZero(stored)} + kCopyOffset;
}

std::array<std::string, 11> CopiedGroupValues(const GroupRecord& source, std::int64_t copyNo) {
    std::array<std::string, 11> values;
    for (int column = kGroupName; column <= kGroupIcon; ++column) {
        values[column] = SqlText(source[column]);
    }
    values[kGroupN] = SqlNumber(copyNo);
    values[kGroupX] = SqlNumber(CopiedPosition(source[kGroupX]));
    values[kGroupY] = SqlNumber(CopiedPosition(source[kGroupY]));
    return values;
}
