#pragma once

#include <string>
#include <string_view>

// The folder part of a code-page path is everything up to and including its last separator; the
// file-name part is the rest. The second byte of a double-byte character is never a separator,
// even when it is the byte of a backslash. `separators` lists the separator bytes of the platform's
// paths ("\\:" on Windows, "/" elsewhere).
std::string FolderPart(std::string_view path, std::string_view separators);
std::string FileNamePart(std::string_view path, std::string_view separators);
