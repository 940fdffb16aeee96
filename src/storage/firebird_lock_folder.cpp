#include "storage/firebird_lock_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockVariable = "FIREBIRD_LOCK";

// A real folder (a link is not followed) of this user that nobody else may write into, made with mode
// 0700 when missing.
bool OwnPrivateFolder(const fs::path& folder) {
    mkdir(folder.c_str(), 0700);
    struct stat facts {};
    return lstat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) && facts.st_uid == geteuid() &&
           (facts.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool OwnedFolder(const fs::path& folder) {
    struct stat facts {};
    return stat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) && facts.st_uid == geteuid();
}

}  // namespace

fs::path OwnLockFolder(const char* runtimeFolder, const fs::path& sharedTemp) {
    if (runtimeFolder != nullptr && fs::path(runtimeFolder).is_absolute() && OwnedFolder(runtimeFolder)) {
        const fs::path folder = fs::path(runtimeFolder) / "qarto-groups";
        if (OwnPrivateFolder(folder)) {
            return folder / "firebird";
        }
    }
    const fs::path folder = sharedTemp / ("qarto-groups-" + std::to_string(geteuid()));
    if (OwnPrivateFolder(folder)) {
        return folder / "firebird";
    }
    return fs::path();
}

void UseOwnFirebirdLockFolder() {
    const char* set = std::getenv(kLockVariable);
    if (set != nullptr && *set != '\0') {
        return;
    }
    const fs::path folder = OwnLockFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp");
    if (!folder.empty()) {
        setenv(kLockVariable, folder.c_str(), 1);
    }
}
