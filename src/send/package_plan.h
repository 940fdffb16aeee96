#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where each file sent stands in the package. Names are code-page bytes (what a registration stores),
// parts separated by '/'.

enum class FolderLayout {
    Flat,  // "すべて一つのフォルダに"
    Kept,  // "フォルダ構成を保つ": relative to the folder all the files share
};

// A registered file as stored.
struct StoredFile {
    std::int64_t number = 0;
    std::string fileName;
    std::string folder;
};

// The longest name of one file or folder the file systems take, in UTF-8 bytes.
inline constexpr std::size_t kLongestNamePart = 255;

// The package's name of each of `files`, in their order: its file name, under its folders relative to
// the folder they all share when `layout` keeps them. No two names are the same, letters in either case
// alike (a recipient's Windows takes them so), nor one of `reserved`: a later file of a name taken is
// named "name (2).dwg", "name (3).dwg" and so on, its name shortened where the number would make it
// longer than the file systems take. A folder never climbs out of the package.
std::vector<std::string> PackageNames(const std::vector<StoredFile>& files, FolderLayout layout,
                                      const std::vector<std::string>& reserved);
