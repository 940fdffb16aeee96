#include "common/path_parts.h"

#include "common/codepage.h"

namespace {

// Length of the folder part: the position just past the last separator, 0 when there is none.
std::size_t FolderLength(std::string_view path, std::string_view separators) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (separators.find(path[i]) != std::string_view::npos) {
            length = i + 1;
        }
    }
    return length;
}

}  // namespace

std::string FolderPart(std::string_view path, std::string_view separators) {
    return std::string(path.substr(0, FolderLength(path, separators)));
}

std::string FileNamePart(std::string_view path, std::string_view separators) {
    return std::string(path.substr(FolderLength(path, separators)));
}
