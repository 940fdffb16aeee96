#include "backup/backup_place.h"

#include "common/fingerprint.h"

namespace {

constexpr std::size_t kReadableLength = 32;

}  // namespace

std::filesystem::path BackupsRoot(const std::filesystem::path& settingsFile,
                                  const std::filesystem::path& executableFolder,
                                  const std::filesystem::path& userDataFolder) {
    const std::filesystem::path settingsFolder = settingsFile.parent_path();
    std::error_code error;
    if (userDataFolder.empty() || std::filesystem::equivalent(settingsFolder, executableFolder, error)) {
        return settingsFolder / "backups";
    }
    return userDataFolder / "backups";
}

std::string DatabaseFolderName(const ConnectionSettings& database) {
    const std::string& name = database.databaseName;
    std::string readable;
    for (const char c : name.substr(0, name.rfind('.'))) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (plain && readable.size() < kReadableLength) {
            readable += c;
        }
    }
    return (readable.empty() ? "database" : readable) + "-" + Fingerprint(database.DatabasePath());
}

bool MakeBackupsFolder(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    for (const fs::path& made : {folder.parent_path(), folder}) {
        fs::permissions(made, fs::perms::owner_all, error);
    }
    return fs::is_directory(folder, error);
}

std::vector<std::filesystem::path> FolderItems(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> items;
    std::error_code error;
    for (std::filesystem::directory_iterator item(folder, error), end; !error && item != end;
         item.increment(error)) {
        items.push_back(item->path());
    }
    return items;
}
