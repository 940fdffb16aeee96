#include "send/source_path.h"

#include "common/codepage.h"

std::string SourcePathOf(const FolderMappings& mappings, const std::string& folder,
                         const std::string& fileName) {
    return Utf8FromCp932(LocalPathOf(mappings, folder, fileName));
}
