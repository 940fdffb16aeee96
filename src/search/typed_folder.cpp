#include "search/typed_folder.h"

#include <algorithm>

std::vector<std::string> StoredFormsOfTyped(const FolderMappings& mappings, std::string_view typed) {
    std::vector<std::string> forms;
    for (const FolderMapping& mapping : mappings) {
        std::string form;
        if (SameFolder(WithFinalSeparator(typed), mapping.local)) {
            form = mapping.stored;
        } else if (StartsWithFolder(typed, mapping.local)) {
            // Every mapping whose local folder holds the text: one folder here may be stored as a
            // share by some desktops and as a drive by others.
            const StoredPath stored = StoredPathOf({mapping}, typed);
            form = stored.folder + stored.fileName;
        }
        if (!form.empty() && std::find(forms.begin(), forms.end(), form) == forms.end()) {
            forms.push_back(std::move(form));
        }
    }
    return forms;
}
