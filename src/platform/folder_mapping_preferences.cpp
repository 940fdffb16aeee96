#include "platform/folder_mapping_preferences.h"

#include "platform/codec.h"
#include "platform/preferences.h"

namespace {

const QString kGroup = QStringLiteral("FolderMappings");
const QString kStored = QStringLiteral("stored");
const QString kLocal = QStringLiteral("local");

}  // namespace

FolderMappings ReadFolderMappings(const AppContext& context) {
    const std::unique_ptr<QSettings> preferences = OpenPreferences(context);
    FolderMappings mappings;
    const int count = preferences->beginReadArray(kGroup);
    for (int i = 0; i < count; ++i) {
        preferences->setArrayIndex(i);
        const std::optional<std::string> stored = ToCp932(preferences->value(kStored).toString());
        const std::optional<std::string> local = ToCp932(preferences->value(kLocal).toString());
        if (stored && local && !stored->empty() && !local->empty()) {
            mappings.push_back(MappingOf(*stored, *local));
        }
    }
    preferences->endArray();
    return mappings;
}

bool WriteFolderMappings(const AppContext& context, const FolderMappings& mappings) {
    const std::unique_ptr<QSettings> preferences = OpenPreferences(context);
    preferences->remove(kGroup);
    preferences->beginWriteArray(kGroup, static_cast<int>(mappings.size()));
    for (int i = 0; i < static_cast<int>(mappings.size()); ++i) {
        preferences->setArrayIndex(i);
        preferences->setValue(kStored, FromCp932(mappings[i].stored));
        preferences->setValue(kLocal, FromCp932(mappings[i].local));
    }
    preferences->endArray();
    preferences->sync();
    return preferences->status() == QSettings::NoError;
}
