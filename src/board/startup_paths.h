#pragma once

#include <QString>

// The executable's folder in the platform's own form, ending in the folder separator.
QString AppDirOf(const QString& executablePath);
// The executable's path with its extension replaced by ".dat", or ".dat" appended when it has none:
// the settings file always sits beside the executable and shares its name.
QString SettingsFileOf(const QString& executablePath);
