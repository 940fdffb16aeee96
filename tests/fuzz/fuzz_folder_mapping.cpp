#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/folder_mapping.h"

namespace {

// The input's parts between newlines: stored prefix, local folder, a registration's folder, its
// file name and a path being registered, in that order; missing parts are empty.
std::vector<std::string_view> Parts(std::string_view input) {
    std::vector<std::string_view> parts;
    while (parts.size() < 4) {
        const std::size_t end = input.find('\n');
        if (end == std::string_view::npos) {
            break;
        }
        parts.push_back(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    parts.push_back(input);
    parts.resize(5);
    return parts;
}

}  // namespace

// Bytes from the database and the preferences file, whatever they are, convert without reading past
// their end; a path under no mapping is split into its folder and name and nothing else, and every
// path on this machine ends in the registration's file name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        Parts(std::string_view(reinterpret_cast<const char*>(data), size));
    const FolderMappings mappings{MappingOf(parts[0], parts[1])};
    const std::string local = LocalPathOf(mappings, parts[2], parts[3]);
    if (!std::string_view(local).ends_with(parts[3])) {
        std::abort();
    }
    const StoredPath unmapped = StoredPathOf({}, parts[4]);
    if (unmapped.folder + unmapped.fileName != parts[4]) {
        std::abort();
    }
    const StoredPath stored = StoredPathOf(mappings, parts[4]);
    if (!std::string_view(parts[4]).ends_with(stored.fileName)) {
        std::abort();
    }
    return 0;
}
