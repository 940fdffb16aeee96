#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// How the engine shares a database file with other processes, as firebird.conf's ServerMode says.
// Only Super holds the file exclusively; the others share it through the lock table in Firebird's
// lock folder.
enum class ServerMode { Super, SuperClassic, Classic };

// The mode a ServerMode setting names, read as the engine reads it: any case, the names "Super" and
// "ThreadedDedicated", "SuperClassic" and "ThreadedShared", "Classic" and "MultiProcess"; anything
// else (no setting) is the engine's default, Super.
ServerMode ServerModeNamed(std::string_view setting);
// The setting's name for `mode`.
const char* ServerModeName(ServerMode mode);

// The mode the configuration file `file` sets, read by the engine's rules: "#" begins a comment
// outside quotes, names in any case, values may be quoted, and "include" reads another file (a
// relative path from the including file's folder); the first ServerMode counts. Super when no file
// sets it or there is no such file; nothing when it cannot be told (an include with a wildcard or a
// macro other than $(root) and $(this), or includes too deep).
std::optional<ServerMode> ServerModeIn(const std::filesystem::path& file, const std::filesystem::path& root);

// The mode of this process's engine: ServerModeIn(firebird.conf) in the root folder its configuration
// manager names (the FIREBIRD variable's, else the installation's). The file is read here rather than
// through the configuration manager's values, because reading those fixes the engine's lock folder
// before the program has chosen it.
std::optional<ServerMode> EngineServerMode();
