#pragma once

#include <set>
#include <string>
#include <vector>

#include "common/folder_mapping.h"
#include "relink/missing_scan.h"
#include "relink/tree_search.h"

class Database;

// A missing file found again: the folder proposed for it and how many folders held its name.
struct RelinkProposal {
    MissingFile file;
    std::string newFolder;     // code-page bytes, ending in the separator
    int candidates = 1;        // more than one: the folder is a guess
    bool walkComplete = true;  // a folder of the tree could not be read: it may hold another copy
    std::string newFileName;   // a file chosen by the user may have been renamed; empty: the name stays

    bool Guess() const { return candidates > 1 || !walkComplete; }
};

// The names to look for, as UTF-8 bytes; rows without a name are left out.
std::set<std::string> WantedNames(const std::vector<MissingFile>& files);

// One proposal per missing file whose name was found: the only folder, or among several the one
// sharing the longest tail with the old folder. Folders the code page cannot hold are passed over,
// as they could not be stored, and so are those whose Windows stored form holds a name a Windows
// desktop cannot (see WindowsCanHold). After a walk that could not read every folder, each is a guess. A
// folder proposed is in its stored form under `mappings`.
std::vector<RelinkProposal> ProposeRelinks(const std::vector<MissingFile>& files,
                                           const TreeSearchResult& walk, const FolderMappings& mappings);

enum class RelinkOutcome { Relinked, ChangedElsewhere, Failed };

// Stores the new folder (and name, when one was chosen) of one registration, its own committed statement. The
// row is matched by the whole registration as the scan read it (number, file name and old folder): a
// registration changed or numbered anew since then is left as it is.
RelinkOutcome StoreRelink(Database& database, const RelinkProposal& proposal);
