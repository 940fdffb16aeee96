#include "dialogs/group_row.h"

#include <limits>

#include "common/number.h"
#include "common/sql_literal.h"
#include "storage/records.h"

std::optional<std::int32_t> NextGroupNumber(std::string_view largest) {
    const std::int64_t next = std::int64_t{ParseIntOrZero(largest)} + 1;
    if (next > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(next);
}

std::string IntegerLiteral(std::string_view stored) {
    return stored.empty() ? SqlText(stored) : SqlNumber(ParseIntOrZero(stored));
}

std::array<std::string, 11> GroupRowValues(std::int32_t number, const std::vector<std::string>& texts,
                                           const std::string& x, const std::string& y) {
    std::array<std::string, 11> values;
    values[kGroupN] = SqlNumber(number);
    for (int column = kGroupName; column <= kGroupIcon; ++column) {
        values[column] = SqlText(texts.at(column - kGroupName));
    }
    values[kGroupX] = x;
    values[kGroupY] = y;
    return values;
}
