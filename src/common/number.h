#pragma once

#include <cstdint>
#include <string_view>

// Text to a signed 32-bit integer the way the program reads every number it stores as text:
// leading blanks skipped, an optional sign, a "$", "x" or "0x" prefix for hexadecimal. An empty
// text, any stray character (trailing blanks included) or a value out of range gives 0.
std::int32_t ParseIntOrZero(std::string_view text);

// A server's decimal text of a 64-bit count or number (a transaction, an attachment); 0 for an empty
// text (NULL) or one that does not start with such a number.
std::int64_t DecimalOrZero(std::string_view text);
