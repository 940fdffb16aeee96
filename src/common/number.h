#pragma once

#include <cstdint>
#include <string_view>

// Text to a signed 32-bit integer the way the program reads every number it stores as text:
// leading blanks skipped, an optional sign, a "$", "x" or "0x" prefix for hexadecimal. An empty
// text, any stray character (trailing blanks included) or a value out of range gives 0.
std::int32_t ParseIntOrZero(std::string_view text);
// The decimal text of a 64-bit number as the server writes one (a count, a transaction number);
// 0 for the empty text of a NULL.
std::int64_t DecimalInt64OrZero(std::string_view text);
