#pragma once

#include <atomic>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// Where each wanted file name stands in a folder's whole tree. Names and folders are UTF-8 bytes;
// names are wanted in the forms the code page keeps (〜 as ～, see PathAsOnDisk) and otherwise compare
// exactly, as the file system does; each folder ends in the platform's separator.
using FoldersByName = std::map<std::string, std::vector<std::string>>;

struct TreeSearchResult {
    FoldersByName found;
    long long unreadableFolders = 0;  // folders the walk could not list, or not to their end

    bool Complete() const { return unreadableFolders == 0; }
};

// Walks the tree below `root` and answers the folders holding a file of each wanted name, in the
// walk's order. A folder that cannot be read (no permission, a dead network mount, removed during
// the walk, a name too long) is counted and passed over; links to folders are not followed, so no
// loop of links can hold the walk. `visited` counts the entries seen so far; the walk ends early,
// answering what it found, once `cancelled` is set.
TreeSearchResult FindNamesInTree(const std::filesystem::path& root, const std::set<std::string>& wanted,
                                 const std::atomic<bool>& cancelled, std::atomic<long long>& visited);

// How many trailing folder names two folders share ("/a/x/y/" and "/b/x/y/" share 2). Either kind of
// separator ends a name, so folders stored from another system compare too.
int SharedTailLength(const std::string& folder1, const std::string& folder2);

// The candidate folder that shares the longest tail with `oldFolder`; on a tie the first in byte
// order, so the choice does not depend on the order of the walk. -1 for no candidates.
int BestCandidate(const std::string& oldFolder, const std::vector<std::string>& candidates);
