#pragma once

#include <string>

// Waits until what was written to the folder or file at `path` (the file system's encoding) is on the
// disk: a file alone, or a folder's whole file system at once (thousands of small files, one flush).
// Empty when it is, else why not, for the user.
std::string FlushToDisk(const std::string& path);
