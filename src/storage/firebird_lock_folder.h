#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "storage/firebird_server_mode.h"

// Firebird's engine keeps its lock files in one folder, /tmp/firebird unless FIREBIRD_LOCK names
// another. The server package may own that folder (Debian: mode 0770, firebird:firebird), and then an
// embedded engine of any other user can neither create nor attach a database. So every executable
// that opens databases gives its engine a folder of the user's own.
//
// This is safe only because the engine, in its default ServerMode=Super, also takes an exclusive
// flock() on each database file it opens: an engine with another lock folder, or a server, is refused
// that file while this one holds it, instead of writing it at the same time. In SuperClassic and
// Classic the file is shared and only the lock table keeps two engines apart, so then the engine must
// use Firebird's own lock folder, the one a server of the machine uses too.

// The lock folder for this user: $XDG_RUNTIME_DIR/qarto-groups/firebird when `runtimeFolder` is an
// absolute path of a folder the user owns, else `sharedTemp`/qarto-groups-<uid>/firebird. The folder
// above "firebird" is made with mode 0700 and used only when it is a real folder (not a link) of this
// user that nobody else can write. Empty when neither can be had. The engine makes "firebird" itself.
std::filesystem::path OwnLockFolder(const char* runtimeFolder, const std::filesystem::path& sharedTemp);

// Firebird's own lock folder when FIREBIRD_LOCK names none.
inline const std::filesystem::path kFirebirdLockFolder = "/tmp/firebird";

struct LockFolderChoice {
    std::filesystem::path folder;  // for FIREBIRD_LOCK; empty: the engine's own choice stays
    std::string refusal;           // why the embedded engine must not be used (UTF-8); empty: it may
};

// Where the embedded engine of a process in `mode` (nothing: it cannot be told) keeps its locks,
// FIREBIRD_LOCK being `setFolder` (null or empty when unset). In Super: a folder FIREBIRD_LOCK names
// stays (Firebird's own convention), else OwnLockFolder(runtimeFolder, sharedTemp). Otherwise Firebird's
// own folder (the one FIREBIRD_LOCK names, else kFirebirdLockFolder) when the user may write it or
// make it there; when not, embedded use is refused, saying why, but for the process's private
// databases (see private_database.h), whose locks the engine keeps in "firebird-private" beside
// OwnLockFolder(runtimeFolder, sharedTemp): no other engine shares their files.
LockFolderChoice ChooseLockFolder(std::optional<ServerMode> mode, const char* setFolder,
                                  const char* runtimeFolder, const std::filesystem::path& sharedTemp);

// Reads the engine's server mode and sets FIREBIRD_LOCK as ChooseLockFolder(mode, FIREBIRD_LOCK,
// XDG_RUNTIME_DIR, /tmp) says. The engine reads the variable once, at its first use, so this is
// called first thing in main().
void UseOwnFirebirdLockFolder();

// Why this process may not open databases without a server, as UseOwnFirebirdLockFolder found;
// empty when it may.
const std::string& EmbeddedUseRefusal();
