#include "backup/attachment_marker.h"

#include <fstream>

namespace attachment_marker {

namespace {

std::filesystem::path MarkerOf(const std::filesystem::path& folder) {
    return folder / "attached";
}

}  // namespace

bool LeftBehind(const std::filesystem::path& backupsFolder) {
    std::error_code error;
    return std::filesystem::exists(MarkerOf(backupsFolder), error);
}

bool Place(const std::filesystem::path& backupsFolder) {
    std::error_code error;
    std::filesystem::create_directories(backupsFolder, error);
    // Not flushed: it is made on the GUI thread, and a flush can keep a busy disk waiting for
    // seconds. A killed or crashed run leaves it all the same; a power cut within the system's
    // write-back delay of the attach may not.
    return std::ofstream(MarkerOf(backupsFolder)).good();
}

void Remove(const std::filesystem::path& backupsFolder) {
    std::error_code error;
    std::filesystem::remove(MarkerOf(backupsFolder), error);
}

}  // namespace attachment_marker
