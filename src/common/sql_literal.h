#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Value texts for the statements the program builds. An integer is written bare. An empty text is
// the word NULL; any other text is enclosed in single quotes with every quote inside doubled, so no
// value can end its literal early.
std::string SqlText(std::string_view cp932);
std::string SqlNumber(std::int64_t value);
