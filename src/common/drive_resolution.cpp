#include "common/drive_resolution.h"

bool OnRedirectableDrive(std::string_view path) {
    return path.size() >= 2 && path[0] >= 'D' && path[0] <= 'Z' && path[1] == ':';
}

std::string ResolveDriveOfPath(std::string_view path, const DriveResolver& resolver) {
    if (OnRedirectableDrive(path)) {
        return resolver(path.substr(0, 2)) + std::string(path.substr(2));
    }
    return std::string(path);
}
