#include "common/settings_place.h"

#include <unistd.h>

#include <cstdlib>

#include "common/unique_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgramFolder = "qarto-groups";

// $variable when it names an absolute folder, otherwise $HOME/homeRelative; empty when neither.
fs::path DesktopFolder(const char* variable, const char* homeRelative) {
    const char* set = std::getenv(variable);
    if (set != nullptr && fs::path(set).is_absolute()) {
        return fs::path(set) / kProgramFolder;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || !fs::path(home).is_absolute()) {
        return fs::path();
    }
    return fs::path(home) / homeRelative / kProgramFolder;
}

// Whether the settings file can be saved in `folder`: saving creates a new file there and renames
// it, so a file is created and removed again, under a name of its own so that only that one is
// removed. Permission bits would say yes to root in folders where no file can be made.
bool TakesNewFiles(const fs::path& folder, const fs::path& fileName) {
    const UniqueFile probe = CreateUniqueFile((folder / fileName).string() + ".probe", 0600);
    if (probe.handle < 0) {
        return false;
    }
    close(probe.handle);
    unlink(probe.path.c_str());
    return true;
}

}  // namespace

fs::path UserConfigFolder() {
    return DesktopFolder("XDG_CONFIG_HOME", ".config");
}

fs::path UserDataFolder() {
    return DesktopFolder("XDG_DATA_HOME", ".local/share");
}

fs::path SettingsFilePlace(const fs::path& besideExecutable, const fs::path& userFolder) {
    const fs::path fileName = besideExecutable.filename();
    if (TakesNewFiles(besideExecutable.parent_path(), fileName) || userFolder.empty()) {
        return besideExecutable;
    }
    std::error_code error;
    fs::create_directories(userFolder, error);
    if (!TakesNewFiles(userFolder, fileName)) {
        return besideExecutable;
    }
    return userFolder / fileName;
}
