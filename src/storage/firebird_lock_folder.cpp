#include "storage/firebird_lock_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kLockVariable = "FIREBIRD_LOCK";

std::string& Refusal() {
    static std::string refusal;
    return refusal;
}

// The engine makes a missing lock folder itself, inside an existing one.
bool UserMayWrite(const fs::path& folder) {
    struct stat facts {};
    if (stat(folder.c_str(), &facts) == 0) {
        return S_ISDIR(facts.st_mode) && access(folder.c_str(), W_OK | X_OK) == 0;
    }
    const fs::path above = folder.has_filename() ? folder.parent_path() : folder.parent_path().parent_path();
    return errno == ENOENT && stat(above.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) &&
           access(above.c_str(), W_OK | X_OK) == 0;
}

std::string RefusalFor(std::optional<ServerMode> mode, const fs::path& folder) {
    const std::string why =
        mode ? std::string("Firebird のサーバーモードが ") + ServerModeName(*mode) + " のため"
             : std::string("Firebird の設定 (firebird.conf) からサーバーモードを読み取れないため");
    return why + "、サーバーを介さないデータベースは Firebird のロックフォルダ " + folder.string() +
           " を使わなければ安全に開けませんが、このフォルダに書き込めません。サーバー経由で接続して下さい。";
}

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

LockFolderChoice ChooseLockFolder(std::optional<ServerMode> mode, const char* setFolder,
                                  const char* runtimeFolder, const fs::path& sharedTemp) {
    const bool set = setFolder != nullptr && *setFolder != '\0';
    if (mode == ServerMode::Super) {
        return {set ? fs::path() : OwnLockFolder(runtimeFolder, sharedTemp), {}};
    }
    const fs::path firebirds = set ? fs::path(setFolder) : kFirebirdLockFolder;
    if (UserMayWrite(firebirds)) {
        return {};
    }
    // Apart from the folder an engine of the user's in Super mode keeps: the lock tables of engines in
    // different modes are not to be shared.
    const fs::path own = OwnLockFolder(runtimeFolder, sharedTemp);
    return {own.empty() ? own : own.parent_path() / "firebird-private", RefusalFor(mode, firebirds)};
}

void UseOwnFirebirdLockFolder() {
    const LockFolderChoice choice = ChooseLockFolder(EngineServerMode(), std::getenv(kLockVariable),
                                                     std::getenv("XDG_RUNTIME_DIR"), "/tmp");
    if (!choice.folder.empty()) {
        setenv(kLockVariable, choice.folder.c_str(), 1);
    }
    Refusal() = choice.refusal;
}

const std::string& EmbeddedUseRefusal() {
    return Refusal();
}
