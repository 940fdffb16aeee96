#include "backup/attachment_marker.h"

#include <fstream>

#include "backup/backup_place.h"

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
    MakeBackupsFolder(backupsFolder);
    // Not flushed: it is made on the GUI thread, and a flush can keep a busy disk waiting for
    // seconds. A killed or crashed run leaves it all the same; a power cut within the system's
    // write-back delay of the attach may not.
    const bool placed = std::ofstream(MarkerOf(backupsFolder)).good();
    std::error_code error;
    std::filesystem::permissions(MarkerOf(backupsFolder),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 error);
    return placed;
}

void Remove(const std::filesystem::path& backupsFolder) {
    std::error_code error;
    std::filesystem::remove(MarkerOf(backupsFolder), error);
}

}  // namespace attachment_marker
