#pragma once

#include <filesystem>

// The user's own folders for this program, as the desktop names them: $XDG_CONFIG_HOME/qarto-groups
// (by default ~/.config/qarto-groups) and $XDG_DATA_HOME/qarto-groups (by default
// ~/.local/share/qarto-groups). A variable that is unset, empty or relative is passed over. Empty
// when neither the variable nor HOME gives a folder.
std::filesystem::path UserConfigFolder();
std::filesystem::path UserDataFolder();

// Where the settings file is read and written. It stays at `besideExecutable` whenever the
// executable's folder takes new files (a build folder, a copy unpacked anywhere). Otherwise (an
// installed copy in a folder the user cannot write) it is the file of the same name in
// `userFolder`, which is created when missing. When that cannot be made either, the place beside
// the executable stays: nothing is saved, as before.
std::filesystem::path SettingsFilePlace(const std::filesystem::path& besideExecutable,
                                        const std::filesystem::path& userFolder);
