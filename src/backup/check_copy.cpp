#include "backup/check_copy.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "common/codepage.h"
#include "storage/database_presence.h"
#include "storage/held_census.h"

namespace fs = std::filesystem;

namespace {

// A restored database takes more room than its backup, which holds no index and no free space.
constexpr std::uintmax_t kRoomPerBackupByte = 2;
constexpr std::uintmax_t kRoomBeyond = 4 << 20;
// What is written to learn whether anything can be written in a folder at all.
constexpr std::size_t kTrialBytes = 64 * 1024;

std::string FolderText(const fs::path& folder) {
    return folder.string();
}

// A restore that failed for want of room in its folder, where another folder may still do.
bool OutOfRoom(const std::string& words) {
    return words.find(std::strerror(ENOSPC)) != std::string::npos ||
           words.find(std::strerror(EFBIG)) != std::string::npos;
}

}  // namespace

std::optional<ConnectionSettings> CheckCopy::MakeFolder(const fs::path& folder, std::uintmax_t room,
                                                        std::string& words) {
    const auto failed = [&](const std::string& why) {
        words += (words.empty() ? "" : "; ") + why;
        Remove();
        return std::nullopt;
    };
    std::string pattern = (folder / (std::string(kCheckFolderStem) + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return failed("cannot create a folder in " + FolderText(folder) + ": " + std::strerror(errno));
    }
    made_ = pattern;
    // A folder may take a name and no byte more (a full disk, a quota).
    {
        std::ofstream trial(made_ / "trial", std::ios::binary);
        trial << std::string(kTrialBytes, '\0');
        if (!trial.flush()) {
            return failed("cannot write in " + FolderText(folder));
        }
    }
    fs::remove(made_ / "trial");
    struct statvfs free {};
    if (statvfs(made_.c_str(), &free) == 0 && std::uintmax_t{free.f_bavail} * free.f_frsize < room) {
        return failed("no room in " + FolderText(folder) + " for the restored copy");
    }
    // The settings keep code-page bytes; Firebird gets them as UTF-8 again, the folder's own name.
    const std::optional<std::string> named =
        Cp932FromUtf8(reinterpret_cast<const char*>(made_.u8string().c_str()));
    if (!named) {
        return failed("the name of " + FolderText(folder) + " cannot be given to Firebird");
    }
    ConnectionSettings settings = ConnectionSettings::Defaults();
    settings.serverPrefix.clear();
    settings.dataFolder = *named + "/";
    settings.databaseName = "CHECK.FDB";
    private_.emplace(Utf8FromCp932(settings.DatabasePath()));
    return settings;
}

std::optional<RowCensus> CheckCopy::Restore(const fs::path& file, const CancelFlag& cancel,
                                            std::chrono::milliseconds deadline, std::string& words) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    const std::uintmax_t room = (error ? 0 : size) * kRoomPerBackupByte + kRoomBeyond;
    for (const fs::path& folder : folders_) {
        if (folder.empty()) {
            continue;
        }
        copy_ = MakeFolder(folder, room, words);
        if (!copy_) {
            continue;
        }
        const ServiceOutcome outcome = RestoreDatabase(file, *copy_, cancel, deadline);
        if (outcome.done) {
            restored_ = true;
            return HeldCensus(*copy_, false, cancel, deadline).Read(words);
        }
        words += (words.empty() ? "" : "; ") + outcome.error;
        Remove();
        if (cancel || !OutOfRoom(outcome.error)) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void CheckCopy::Remove() {
    if (restored_) {
        DropDatabase(*copy_);
        restored_ = false;
    }
    private_.reset();
    if (!made_.empty()) {
        std::error_code error;
        fs::remove_all(made_, error);
        made_.clear();
    }
}
