#pragma once

#include <string_view>

// The text without the blanks (spaces unless told) at its start and end.
std::string_view Trimmed(std::string_view text, std::string_view blanks = " ");
// The text without the blanks at its end: the padding of a CHAR column, of a name Firebird gives.
std::string_view TrimmedRight(std::string_view text, std::string_view blanks = " ");
