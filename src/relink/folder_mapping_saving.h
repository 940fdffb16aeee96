#pragma once

#include "common/folder_mapping.h"

struct AppContext;
class QWidget;

// Makes `mappings` this desktop's folder mappings and keeps them in the preferences file. When the
// file cannot be written they still hold until the program ends, and the user of `messageParent` is
// told so.
void SaveFolderMappings(AppContext& context, FolderMappings mappings, QWidget* messageParent);
