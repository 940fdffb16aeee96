#include "backup/backup_leftovers.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "backup/backup_catalog.h"
#include "backup/backup_place.h"
#include "backup/check_copy.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::hours kLeftoverAge{1};

// The folder mkdtemp made for a check's database.
bool IsCheckFolderName(const std::string& name) {
    const std::string stem = kCheckFolderStem;
    return name.size() == stem.size() + 6 && name.starts_with(stem) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c); });
}

// The latest time anything in `item` (a file, or a folder and what it holds) was written.
fs::file_time_type LastWritten(const fs::path& item) {
    std::error_code error;
    fs::file_time_type latest = fs::last_write_time(item, error);
    for (const fs::path& inside : FolderItems(item)) {
        latest = std::max(latest, fs::last_write_time(inside, error));
    }
    return latest;
}

void RemoveLeftovers(const fs::path& folder, bool (*ours)(const std::string& name)) {
    const fs::file_time_type before = fs::file_time_type::clock::now() - kLeftoverAge;
    for (const fs::path& item : FolderItems(folder)) {
        if (ours(item.filename().string()) && LastWritten(item) < before) {
            std::error_code error;
            fs::remove_all(item, error);
        }
    }
}

}  // namespace

void TidyBackups(const fs::path& folder, const fs::path& checkFolder) {
    MakeBackupsFolder(folder);
    for (const fs::path& item : FolderItems(folder)) {
        if (ParseBackupFileName(item)) {
            std::error_code error;
            fs::permissions(item, fs::perms::owner_read | fs::perms::owner_write, error);
        }
    }
    RemoveLeftovers(folder, IsUncheckedFileName);
    RemoveLeftovers(folder, IsCheckFolderName);
    if (!checkFolder.empty()) {
        RemoveLeftovers(checkFolder, IsCheckFolderName);
    }
}
