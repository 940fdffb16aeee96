#pragma once

#include <string>
#include <string_view>

// The code page keeps one form of each of these characters: 〜 ‖ − ¢ £ ¬ — (what input methods outside
// Windows type) are stored as ～ ∥ － ￠ ￡ ￢ ―, and read back so. A file named on this desktop keeps the
// form it was typed in, so a stored name becomes a path on disk only through this function.

// The path, in the file system's UTF-8, under which the file or folder `path` names stands on disk:
// each name of it that holds one of those characters and is not found as it is, is looked for among its
// folder's entries in either form. `path` itself when it exists, or when nothing matches; a path
// without such characters is answered without looking at the disk.
std::string PathAsOnDisk(std::string_view path);
