#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The number a new group gets: one more than the largest existing one, `largest` being what SelectMax
// read (empty for an empty table or a failed read, which gives 1). Gaps are never refilled. Nothing
// when the next number would not fit the column.
std::optional<std::int32_t> NextGroupNumber(std::string_view largest);

// An integer column read back as text, as a literal again: bare, or NULL when it was NULL.
std::string IntegerLiteral(std::string_view stored);

// The values of one master row in column order: the number, the eight descriptive texts (code-page
// bytes, GRPNAME to ICONP) as text literals, and the X and Y literals.
std::array<std::string, 11> GroupRowValues(std::int32_t number, const std::vector<std::string>& texts,
                                           const std::string& x, const std::string& y);
