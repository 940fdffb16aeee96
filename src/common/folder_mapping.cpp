#include "common/folder_mapping.h"

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

StoredPath SplitPath(std::string_view path) {
    const std::string_view separators = IsWindowsPath(path) ? "\\/:" : "/";
    return {FolderPart(path, separators), FileNamePart(path, separators)};
}

// The mapping whose `side` folder begins `path`, the longest when several do.
const FolderMapping* LongestMapping(const FolderMappings& mappings, std::string_view path,
                                    std::string FolderMapping::*side) {
    const FolderMapping* found = nullptr;
    for (const FolderMapping& mapping : mappings) {
        const std::string& prefix = mapping.*side;
        if (!prefix.empty() && (found == nullptr || prefix.size() > (found->*side).size()) &&
            StartsWithFolder(path, prefix)) {
            found = &mapping;
        }
    }
    return found;
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
    return LongestMapping(mappings, folder, &FolderMapping::stored);
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
    StoredPath path = SplitPath(localPath);
    if (const FolderMapping* mapping = LongestMapping(mappings, path.folder, &FolderMapping::local)) {
        path.folder = MappedFolder(*mapping, path.folder, &FolderMapping::local, &FolderMapping::stored);
        return path;
    }
    if (resolveDrive) {
        const std::string resolved = ResolveDriveOfPath(localPath, resolveDrive);
        if (resolved != localPath) {
            return SplitPath(resolved);
        }
    }
    return path;
}
