#pragma once

#include "common/folder_mapping.h"

struct AppContext;

// This desktop's folder mappings as the preferences file keeps them. Entries that are incomplete or
// that the code page cannot hold (a file edited by hand) are left out.
FolderMappings ReadFolderMappings(const AppContext& context);
// Writes `mappings` in place of those kept; false when the file could not be written.
bool WriteFolderMappings(const AppContext& context, const FolderMappings& mappings);
