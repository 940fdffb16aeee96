#pragma once

#include <string>

// A file this call has just made, under a name nobody else uses: `stem` followed by a dot and six
// random letters or digits, created with O_EXCL, so that nothing already there (a file, a link
// pointing anywhere) is ever opened, truncated or removed in its place. Opened for writing with
// `mode` less the umask; `handle` is -1 when no file could be made.
struct UniqueFile {
    int handle = -1;
    std::string path;
};
UniqueFile CreateUniqueFile(const std::string& stem, int mode);
