#include "relink/mapping_suggestion.h"

#include <algorithm>
#include <map>

#include "common/codepage.h"

namespace {

std::vector<std::size_t> SeparatorEnds(const std::string& folder, bool windows) {
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(folder[i]))) {
            ++i;
        } else if (folder[i] == '/' || (windows && folder[i] == '\\')) {
            ends.push_back(i + 1);
        }
    }
    return ends;
}

// The folder a share, a drive or another system's first folder ends at: "\\server\share\", "X:\",
// "/srv/"; empty for a folder of none of these kinds.
std::string RootOf(const std::string& folder) {
    const bool windows = IsWindowsPath(folder);
    const std::vector<std::size_t> ends = SeparatorEnds(folder, windows);
    std::size_t separators = 2;  // "/srv/"
    if (windows) {
        const bool share = ends.size() >= 2 && ends[0] == 1 && ends[1] == 2;
        const bool drive = folder.size() >= 2 && folder[1] == ':' && !ends.empty() && ends[0] == 3;
        if (!share && !drive) {
            return {};
        }
        separators = share ? 4 : 1;
    } else if (folder.empty() || folder[0] != '/') {
        return {};
    }
    return ends.size() >= separators ? folder.substr(0, ends[separators - 1]) : std::string();
}

// Windows roots compare without the case of A-Z and with either separator.
std::string RootKey(const std::string& root) {
    if (!IsWindowsPath(root)) {
        return root;
    }
    std::string key = root;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(key[i]))) {
            ++i;
        } else if (key[i] == '/') {
            key[i] = '\\';
        } else if (key[i] >= 'a' && key[i] <= 'z') {
            key[i] = static_cast<char>(key[i] - 'a' + 'A');
        }
    }
    return key;
}

// The longest folder that begins every one of `folders` (another system's, compared byte for byte).
std::string SharedFolder(const std::vector<const MissingFile*>& files) {
    std::string shared = files.front()->folder;
    for (const MissingFile* file : files) {
        std::size_t same = 0;
        while (same < shared.size() && same < file->folder.size() && shared[same] == file->folder[same]) {
            ++same;
        }
        shared.resize(same);
    }
    const std::vector<std::size_t> ends = SeparatorEnds(shared, false);
    return ends.empty() ? std::string() : shared.substr(0, ends.back());
}

// The spelling of a Windows root most of `files` store it in; the first of those most used.
std::string MostUsedRoot(const std::vector<const MissingFile*>& files) {
    std::map<std::string, std::size_t> uses;
    std::string most;
    for (const MissingFile* file : files) {
        const std::string root = RootOf(file->folder);
        if (++uses[root] > uses[most]) {
            most = root;
        }
    }
    return most;
}

}  // namespace

std::vector<std::size_t> FolderEnds(const std::string& folder) {
    return SeparatorEnds(folder, IsWindowsPath(folder));
}

std::optional<MappingSuggestion> SuggestMapping(const std::vector<MissingFile>& missing,
                                                const FolderMappings& mappings) {
    std::map<std::string, std::vector<const MissingFile*>> byRoot;
    for (const MissingFile& file : missing) {
        if (MappingOfStored(mappings, file.folder) != nullptr) {
            continue;  // missing where its mapping says: truly missing
        }
        const std::string root = RootOf(file.folder);
        if (!root.empty()) {
            byRoot[RootKey(root)].push_back(&file);
        }
    }
    const std::vector<const MissingFile*>* most = nullptr;
    for (const auto& [key, files] : byRoot) {
        if (most == nullptr || files.size() > most->size()) {
            most = &files;
        }
    }
    if (most == nullptr || most->size() * 2 <= missing.size()) {
        return std::nullopt;
    }
    MappingSuggestion suggestion;
    suggestion.prefix = IsWindowsPath(most->front()->folder) ? MostUsedRoot(*most) : SharedFolder(*most);
    // A folder that stands here needs no mapping: its files are truly missing.
    if (std::any_of(most->begin(), most->end(),
                    [&](const MissingFile* file) { return file->folderHere >= suggestion.prefix.size(); })) {
        return std::nullopt;
    }
    suggestion.files = static_cast<long long>(most->size());
    const std::size_t step = std::max<std::size_t>(1, most->size() / kSuggestionSample);
    for (std::size_t i = 0; i < most->size() && suggestion.sample.size() < kSuggestionSample; i += step) {
        suggestion.sample.push_back(*(*most)[i]);
    }
    return suggestion;
}
