#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/folder_mapping.h"

// What a search text that begins with a folder of this machine (a mapped local folder, with or
// without its final separator) stands for in the database: for each mapping whose local folder it
// begins with, the mapping's stored prefix followed by the rest in the stored prefix's separators.
// Code-page bytes; none for a text under no mapping.
std::vector<std::string> StoredFormsOfTyped(const FolderMappings& mappings, std::string_view typed);
