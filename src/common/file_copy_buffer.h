#pragma once

#include <string>
#include <vector>

// The file list's copy buffer: full code-page paths, in the order they were copied. One for the
// whole run; its count is its size.
using FileCopyBuffer = std::vector<std::string>;
