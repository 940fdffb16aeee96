#pragma once

#include <filesystem>

// Firebird's engine keeps its lock files in one folder, /tmp/firebird unless FIREBIRD_LOCK names
// another. The server package may own that folder (Debian: mode 0770, firebird:firebird), and then an
// embedded engine of any other user can neither create nor attach a database. So every executable
// that opens databases gives its engine a folder of the user's own.
//
// This is safe because the engine also takes an exclusive flock() on each database file it opens
// (Firebird 3 in its default ServerMode=Super): an engine with another lock folder, or a server, is
// refused that file while this one holds it, instead of writing it at the same time.

// The lock folder for this user: $XDG_RUNTIME_DIR/qarto-groups/firebird when `runtimeFolder` is an
// absolute path of a folder the user owns, else `sharedTemp`/qarto-groups-<uid>/firebird. The folder
// above "firebird" is made with mode 0700 and used only when it is a real folder (not a link) of this
// user that nobody else can write. Empty when neither can be had. The engine makes "firebird" itself.
std::filesystem::path OwnLockFolder(const char* runtimeFolder, const std::filesystem::path& sharedTemp);

// Sets FIREBIRD_LOCK to OwnLockFolder(XDG_RUNTIME_DIR, /tmp) unless it is set already (Firebird's own
// convention) or no safe folder can be had (Firebird's default stays). The engine reads the variable
// once, at its first use, so this is called first thing in main().
void UseOwnFirebirdLockFolder();
