#include "send/source_path.h"

#include "common/codepage.h"
#include "common/path_on_disk.h"

std::string SourcePathOf(const FolderMappings& mappings, const std::string& folder,
                         const std::string& fileName) {
    return PathAsOnDisk(Utf8FromCp932(LocalPathOf(mappings, folder, fileName)));
}
