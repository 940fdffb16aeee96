#pragma once

#include <QSettings>
#include <QString>
#include <memory>

struct AppContext;

// The program's own preferences beyond the 24-line settings file (the file list's thumbnail size,
// this desktop's folder mappings, ...): an INI file in UTF-8 named after the settings file with
// ".ini" in place of ".dat", in the same folder. The 24-line file never grows a line for them.
QString PreferencesFileOf(const QString& settingsFileName);

// The preferences of the program `context` describes, read and written through QSettings; what is
// set is written when the object goes away (or at sync()). Before the settings file's place is
// known (the main window not shown yet) it is named after the executable.
std::unique_ptr<QSettings> OpenPreferences(const AppContext& context);
