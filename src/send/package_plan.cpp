#include "send/package_plan.h"

#include <set>

#include "common/codepage.h"
#include "common/folder_mapping.h"

namespace {

// The parts of a stored folder, each a folder name; separators of the folder's kind, never the second
// byte of a double-byte character. Empty parts (the start of a share, doubled separators) are left out.
std::vector<std::string> FolderParts(const std::string& folder) {
    const bool windows = IsWindowsPath(folder);
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folder[i]);
        if (IsLeadByte(byte) && i + 1 < folder.size()) {
            part.append(folder, i, 2);
            ++i;
        } else if (byte == '/' || (windows && byte == '\\')) {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += folder[i];
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

// Letters A-Z in either case alike, the second bytes of double-byte characters left as they are.
std::string Folded(const std::string& name) {
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (IsLeadByte(byte)) {
            ++i;
        } else if (byte >= 'a' && byte <= 'z') {
            folded[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return folded;
}

bool SamePart(const std::string& a, const std::string& b) {
    return Folded(a) == Folded(b);
}

// A folder part that stays inside the package: no "." or "..", no drive's colon.
std::string SafePart(const std::string& part) {
    if (part == "." || part == "..") {
        return "_";
    }
    std::string safe = part;
    for (std::size_t i = 0; i < safe.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(safe[i]))) {
            ++i;
        } else if (safe[i] == ':') {
            safe[i] = '_';
        }
    }
    return safe;
}

std::size_t Utf8Length(const std::string& cp932) {
    return Utf8FromCp932(cp932).size();
}

// "name (n).ext", the name cut (whole characters) where the whole would be too long.
std::string Numbered(const std::string& fileName, int n) {
    std::size_t dot = fileName.rfind('.');
    if (dot == 0 || dot == std::string::npos) {
        dot = fileName.size();
    }
    std::string stem = fileName.substr(0, dot);
    const std::string tail = " (" + std::to_string(n) + ")" + fileName.substr(dot);
    while (!stem.empty() && Utf8Length(stem) + Utf8Length(tail) > kLongestNamePart) {
        stem = CutToBytes(stem, stem.size() - 1);
    }
    return stem + tail;
}

std::string Joined(const std::vector<std::string>& parts, std::size_t from) {
    std::string path;
    for (std::size_t i = from; i < parts.size(); ++i) {
        path += SafePart(parts[i]) + "/";
    }
    return path;
}

}  // namespace

std::vector<std::string> PackageNames(const std::vector<StoredFile>& files, FolderLayout layout,
                                      const std::vector<std::string>& reserved) {
    std::vector<std::vector<std::string>> folders;
    std::size_t shared = 0;
    if (layout == FolderLayout::Kept) {
        for (const StoredFile& file : files) {
            folders.push_back(FolderParts(file.folder));
        }
        shared = folders.empty() ? 0 : folders.front().size();
        for (const std::vector<std::string>& parts : folders) {
            std::size_t same = 0;
            while (same < shared && same < parts.size() && SamePart(parts[same], folders.front()[same])) {
                ++same;
            }
            shared = same;
        }
    }
    std::set<std::string> taken;
    for (const std::string& name : reserved) {
        taken.insert(Folded(name));
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string folder = layout == FolderLayout::Kept ? Joined(folders[i], shared) : std::string();
        const std::string fileName = SafePart(files[i].fileName);
        std::string name = folder + fileName;
        for (int n = 2; taken.contains(Folded(name)); ++n) {
            name = folder + Numbered(fileName, n);
        }
        taken.insert(Folded(name));
        names.push_back(name);
    }
    return names;
}
