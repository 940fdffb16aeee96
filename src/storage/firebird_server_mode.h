#pragma once

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

// The mode of this process's engine: ServerMode from its configuration manager, which reads the
// firebird.conf of the installation or of the folder the FIREBIRD variable names, once per process.
ServerMode EngineServerMode();
