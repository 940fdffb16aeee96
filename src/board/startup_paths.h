#pragma once

#include <QString>

// The executable's folder in the platform's own form, ending in the folder separator.
QString AppDirOf(const QString& executablePath);
// The executable's path with its extension replaced by ".dat", or ".dat" appended when it has none:
// the settings file beside the executable shares its name.
QString SettingsFileOf(const QString& executablePath);
// The settings file the program reads and writes: SettingsFileOf, or the file of the same name in
// the user's configuration folder when the executable's folder cannot be written.
QString SettingsFileFor(const QString& executablePath);
