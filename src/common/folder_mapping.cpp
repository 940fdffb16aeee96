#include "common/folder_mapping.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/path_parts.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char FoldAsciiLetter(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsWindowsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsLead(char c) {
    return IsLeadByte(static_cast<unsigned char>(c));
}

// True when the last byte of `text` is a separator of its kind and not the second byte of a
// double-byte character.
bool EndsInSeparator(std::string_view text, bool windows) {
    bool last = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLead(text[i])) {
            ++i;
            last = false;
        } else {
            last = windows ? IsWindowsSeparator(text[i]) : text[i] == '/';
        }
    }
    return last;
}

// The part of a folder below a mapped prefix, in the separators of the other side.
std::string WithSeparatorsOf(std::string_view rest, bool fromWindows, bool toWindows) {
    std::string converted(rest);
    if (fromWindows == toWindows) {
        return converted;
    }
    for (std::size_t i = 0; i < converted.size(); ++i) {
        if (IsLead(converted[i])) {
            ++i;
        } else if (fromWindows && IsWindowsSeparator(converted[i])) {
            converted[i] = '/';
        } else if (!fromWindows && converted[i] == '/') {
            converted[i] = '\\';
        }
    }
    return converted;
}

// Which stored form every desktop can open: a share, a drive, another system's folder.
int StoredKindRank(std::string_view stored) {
    if (stored.starts_with('\\') || stored.starts_with("//")) {
        return 0;
    }
    return IsWindowsPath(stored) ? 1 : 2;
}

// The mapping a path being registered is stored under (see StoredPathOf); null for none.
const FolderMapping* MappingForRegistering(const FolderMappings& mappings, std::string_view folder) {
    const FolderMapping* found = nullptr;
    for (const FolderMapping& mapping : mappings) {
        if (mapping.local.empty() || !StartsWithFolder(folder, mapping.local)) {
            continue;
        }
        if (found == nullptr) {
            found = &mapping;
            continue;
        }
        const int rank = StoredKindRank(mapping.stored);
        const int foundRank = StoredKindRank(found->stored);
        if (rank < foundRank || (rank == foundRank && mapping.local.size() > found->local.size())) {
            found = &mapping;
        }
    }
    return found;
}

// True for a file or folder name a Windows desktop can hold.
bool WindowsName(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte)) {
            ++i;  // its second byte may be any
        } else if (byte < 0x20 || std::string_view("\\:*?\"<>|").find(name[i]) != std::string_view::npos) {
            return false;
        }
    }
    return name.empty() || (!name.ends_with('.') && !name.ends_with(' '));
}

// `folder` with the `from` folder of `mapping` that begins it replaced by its `to` folder.
std::string MappedFolder(const FolderMapping& mapping, std::string_view folder,
                         std::string FolderMapping::*from, std::string FolderMapping::*to) {
    const std::string& prefix = mapping.*from;
    return mapping.*to +
           WithSeparatorsOf(folder.substr(prefix.size()), IsWindowsPath(prefix), IsWindowsPath(mapping.*to));
}

}  // namespace

bool IsWindowsPath(std::string_view path) {
    const bool share = path.starts_with('\\') || path.starts_with("//");
    return share || (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':');
}

std::string WithFinalSeparator(std::string_view folder) {
    std::string completed(folder);
    const bool windows = IsWindowsPath(folder);
    if (!completed.empty() && !EndsInSeparator(completed, windows)) {
        completed += windows ? '\\' : '/';
    }
    return completed;
}

FolderMapping MappingOf(std::string_view stored, std::string_view local) {
    return {WithFinalSeparator(stored), WithFinalSeparator(local)};
}

bool StartsWithFolder(std::string_view path, std::string_view prefix) {
    if (path.size() < prefix.size()) {
        return false;
    }
    if (!IsWindowsPath(prefix)) {
        return path.substr(0, prefix.size()) == prefix;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char own = path[i];
        const char wanted = prefix[i];
        if (IsLead(wanted)) {
            // Both bytes of a double-byte character, exactly: its second byte is no letter.
            if (own != wanted || i + 1 >= prefix.size() || path[i + 1] != prefix[i + 1]) {
                return false;
            }
            ++i;
        } else if (!(IsWindowsSeparator(own) && IsWindowsSeparator(wanted)) &&
                   FoldAsciiLetter(own) != FoldAsciiLetter(wanted)) {
            return false;
        }
    }
    return true;
}

bool SameFolder(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithFolder(a, b);
}

const FolderMapping* MappingOfStored(const FolderMappings& mappings, std::string_view folder) {
    const FolderMapping* found = nullptr;
    for (const FolderMapping& mapping : mappings) {
        if (!mapping.stored.empty() && (found == nullptr || mapping.stored.size() > found->stored.size()) &&
            StartsWithFolder(folder, mapping.stored)) {
            found = &mapping;
        }
    }
    return found;
}

std::string LocalPathOf(const FolderMappings& mappings, std::string_view folder, std::string_view fileName) {
    const FolderMapping* mapping = MappingOfStored(mappings, folder);
    std::string path = mapping != nullptr
                           ? MappedFolder(*mapping, folder, &FolderMapping::stored, &FolderMapping::local)
                           : std::string(folder);
    path += fileName;
    return path;
}

StoredPath StoredPathOf(const FolderMappings& mappings, std::string_view localPath,
                        const DriveResolver& resolveDrive) {
    StoredPath path = SplitStoredPath(localPath);
    if (const FolderMapping* mapping = MappingForRegistering(mappings, path.folder)) {
        path.folder = MappedFolder(*mapping, path.folder, &FolderMapping::local, &FolderMapping::stored);
        return path;
    }
    if (resolveDrive) {
        const std::string resolved = ResolveDriveOfPath(localPath, resolveDrive);
        if (resolved != localPath) {
            return SplitStoredPath(resolved);
        }
    }
    return path;
}

bool WindowsCanHold(const FolderMappings& mappings, std::string_view localPath) {
    const StoredPath path = SplitStoredPath(localPath);
    const FolderMapping* mapping = MappingForRegistering(mappings, path.folder);
    if (mapping == nullptr || !IsWindowsPath(mapping->stored)) {
        return true;
    }
    // The names below the mapped folder, each ended by a separator of this machine, then the file's.
    const std::string below = std::string(path.folder.substr(mapping->local.size())) + path.fileName + '/';
    const bool windowsHere = IsWindowsPath(mapping->local);
    std::size_t start = 0;
    for (std::size_t i = 0; i < below.size(); ++i) {
        if (IsLead(below[i])) {
            ++i;
        } else if (below[i] == '/' || (windowsHere && below[i] == '\\')) {
            if (!WindowsName(std::string_view(below).substr(start, i - start))) {
                return false;
            }
            start = i + 1;
        }
    }
    return true;
}

StoredPath SplitStoredPath(std::string_view path) {
    const std::string_view separators = IsWindowsPath(path) ? "\\/:" : "/";
    return {FolderPart(path, separators), FileNamePart(path, separators)};
}

std::vector<std::string> StoredSpellingsOf(const FolderMappings& mappings, std::string_view folder) {
    const std::string local = LocalPathOf(mappings, folder, "");
    std::vector<std::string> spellings{std::string(folder)};
    const auto add = [&spellings](std::string spelling) {
        if (std::none_of(spellings.begin(), spellings.end(),
                         [&](const std::string& known) { return SameFolder(known, spelling); })) {
            spellings.push_back(std::move(spelling));
        }
    };
    add(local);
    for (const FolderMapping& mapping : mappings) {
        if (!mapping.local.empty() && StartsWithFolder(local, mapping.local)) {
            add(MappedFolder(mapping, local, &FolderMapping::local, &FolderMapping::stored));
        }
    }
    return spellings;
}
