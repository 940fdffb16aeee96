#include "common/drive_resolution.h"

std::string ResolveDriveOfPath(std::string_view path, const DriveResolver& resolver) {
    if (path.size() >= 2 && path[0] >= 'D' && path[0] <= 'Z' && path[1] == ':') {
        return resolver(path.substr(0, 2)) + std::string(path.substr(2));
    }
    return std::string(path);
}
