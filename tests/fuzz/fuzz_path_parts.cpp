#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/path_parts.h"

// The folder part and the file-name part always make up the whole path again, with either
// platform's separators.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    for (const char* separators : {"\\:", "/"}) {
        if (FolderPart(path, separators) + FileNamePart(path, separators) != path) {
            std::abort();
        }
    }
    return 0;
}
