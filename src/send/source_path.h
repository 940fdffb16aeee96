#pragma once

#include <string>

#include "common/folder_mapping.h"

// The file on this machine that a registration names, in the file system's encoding: its stored
// folder and name under this desktop's folder mappings. Every registered file the sending reads is
// found through here, and only here, whichever form of 〜 and its like the file system holds.
std::string SourcePathOf(const FolderMappings& mappings, const std::string& folder,
                         const std::string& fileName);
