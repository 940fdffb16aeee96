#include "common/designed_settings.h"

#include <algorithm>

SavedSettings DesignedSettings(const ConnectionSettings& connection) {
    SavedSettings saved;
    saved.connection = connection;
    saved.mainWindow = WindowRect{192, 107, 608, 301};
    saved.databaseDialog = WindowPlace{250, 150};
    saved.fileList = WindowRect{193, 109, 654, 317};
    saved.createDialog = WindowPlace{240, 140};
    saved.editDialog = WindowPlace{260, 160};
    std::copy(kDesignedColumnWidths.begin(), kDesignedColumnWidths.end(), saved.columnWidths.begin());
    return saved;
}
