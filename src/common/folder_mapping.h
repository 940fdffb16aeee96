#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/drive_resolution.h"

// Where a registered file stands on this machine. A registration keeps its folder as the desktop
// that registered it wrote it: a Windows share ("\\FS01\図面\2026\"), a Windows drive ("Z:\図面\") or
// a folder of another system ("/srv/zumen/"). This desktop's folder mappings say where such folders
// stand here. Every text is code-page bytes; a 0x5C that is the second byte of a double-byte
// character (表, ソ, 能) is never taken as a separator.

// One mapping: a folder prefix as the database stores it and the folder on this machine it stands
// for, each ending in a separator of its own kind (see MappingOf).
struct FolderMapping {
    std::string stored;
    std::string local;

    bool operator==(const FolderMapping&) const = default;
};

using FolderMappings = std::vector<FolderMapping>;

// A registration's folder (ending in a separator, or empty) and file name.
struct StoredPath {
    std::string folder;
    std::string fileName;

    bool operator==(const StoredPath&) const = default;
};

// A Windows path: one that begins with a backslash or two slashes (a share) or with a drive letter
// and ':'. Its separators are '\' and '/' (and the drive's ':'); every other path's is '/' alone.
bool IsWindowsPath(std::string_view path);

// The folder ending in a separator of its kind: '\' is added to a Windows folder, '/' to any other,
// unless it ends in one already. Empty stays empty.
std::string WithFinalSeparator(std::string_view folder);

// The mapping made of two folders as typed or chosen, each ending in its separator.
FolderMapping MappingOf(std::string_view stored, std::string_view local);

// True when `path` begins with the folder `prefix`. A Windows prefix matches with the letters A-Z
// in either case and with either separator; any other matches byte for byte.
bool StartsWithFolder(std::string_view path, std::string_view prefix);

// True for two folders that StartsWithFolder takes for one and the same.
bool SameFolder(std::string_view a, std::string_view b);

// The mapping whose stored prefix begins `folder` (the longest when several do); null for none.
const FolderMapping* MappingOfStored(const FolderMappings& mappings, std::string_view folder);

// The path on this machine of a registration. Under a mapping the stored prefix becomes the local
// folder and the rest of the folder takes the local folder's separators; the file name stays as it
// is. A folder under no mapping is used as stored.
std::string LocalPathOf(const FolderMappings& mappings, std::string_view folder, std::string_view fileName);

// The folder and file name to store for a path on this machine being registered. Under a mapping's
// local folder the folder becomes the mapping's stored prefix followed by the rest in the stored
// prefix's separators; where several hold it, the one every desktop can open is taken: a Windows
// share first, then a Windows drive, then another system's folder, and of those the longest. A path
// under no mapping has its network drive resolved by `resolveDrive` (when given) and is split where
// it is. Registrations read from the database become paths through LocalPathOf, never this.
StoredPath StoredPathOf(const FolderMappings& mappings, std::string_view localPath,
                        const DriveResolver& resolveDrive = {});

// False when the path being registered would be stored in a Windows form (StoredPathOf) under which
// a folder or file name below the mapped folder is one a Windows desktop cannot hold: one with
// \ : * ? " < > | or a control character in it, or ending in a dot or a blank.
bool WindowsCanHold(const FolderMappings& mappings, std::string_view localPath);

// The folders registrations may store for the same folder on this machine as the stored folder
// `folder`: itself, the folder on this machine it stands for, and that folder in the stored form of
// every mapping that holds it. Each is matched as StartsWithFolder matches.
std::vector<std::string> StoredSpellingsOf(const FolderMappings& mappings, std::string_view folder);

// A registration's path (its folder and file name joined) split after its last separator of its
// kind: '\', '/' or a drive's ':' in a Windows path, '/' in any other.
StoredPath SplitStoredPath(std::string_view path);
