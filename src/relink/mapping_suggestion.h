#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/folder_mapping.h"
#include "relink/missing_scan.h"

// A folder most missing files are stored under that no folder mapping covers: most likely a share
// or a folder of another system that stands elsewhere on this machine.
struct MappingSuggestion {
    std::string prefix;               // as stored (code-page bytes), ending in its separator
    long long files = 0;              // how many of the missing files it holds
    std::vector<MissingFile> sample;  // some of them, spread over all, to try a folder against
};

// How many files a folder chosen for a suggestion is tried against.
inline constexpr std::size_t kSuggestionSample = 50;

// The positions just past each separator of a stored folder, in order (a Windows folder's '\' and '/',
// another's '/'); the second byte of a double-byte character is none.
std::vector<std::size_t> FolderEnds(const std::string& folder);

// The share ("\\FS01\図面\") or drive ("Z:\") of a Windows folder, or the longest folder shared by the
// files of another system's first folder ("/srv/zumen/"), that holds more than half of `missing`
// while no mapping covers it and it is no folder that stands on this desktop; nothing when there is none.
std::optional<MappingSuggestion> SuggestMapping(const std::vector<MissingFile>& missing,
                                                const FolderMappings& mappings);
