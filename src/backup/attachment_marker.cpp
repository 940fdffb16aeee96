#include "backup/attachment_marker.h"

#include "common/durable_file.h"

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
    // On the disk at once: a power cut right after attaching must still leave it behind.
    const std::filesystem::path marker = MarkerOf(backupsFolder);
    DurableFile file(marker.string(), marker.string() + ".tmp");
    return file.Opened() && file.Commit();
}

void Remove(const std::filesystem::path& backupsFolder) {
    std::error_code error;
    std::filesystem::remove(MarkerOf(backupsFolder), error);
}

}  // namespace attachment_marker
