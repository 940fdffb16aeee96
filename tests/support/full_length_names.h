#pragma once

#include <cstddef>
#include <string>

// Names as real offices keep them: Japanese CP932 that fills its column to the last byte, with the
// characters whose trail byte is a backslash (表, ソ, 能), blanks and a single quote among them.
// `label` (ASCII) comes first, so that two names differ at their start.
std::string FullLengthName(const std::string& label, std::size_t bytes = 255);
// `start`, then such Japanese (with the quotes only when `quotes`: the group texts hold none), and
// `end` last, `bytes` in all.
std::string FullLengthText(const std::string& start, std::size_t bytes, const std::string& end, bool quotes);
// A folder as stored, ending in "/", `bytes` long with the separator.
std::string FullLengthFolder(const std::string& label, std::size_t bytes = 255);
