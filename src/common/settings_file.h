#pragma once

#include <array>
#include <string>

#include "common/connection_settings.h"

struct WindowPlace {
    int left = 0;
    int top = 0;
};

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Everything the settings file keeps, in its line order: lines 1-4 the connection, then the five
// windows' positions (and sizes where kept), the file list's five column widths and its view style.
struct SavedSettings {
    ConnectionSettings connection = ConnectionSettings::Defaults();
    WindowRect mainWindow;              // lines 5-8
    WindowPlace databaseDialog;         // lines 9-10
    WindowRect fileList;                // lines 11-14
    WindowPlace createDialog;           // lines 15-16
    WindowPlace editDialog;             // lines 17-18
    std::array<int, 5> columnWidths{};  // lines 19-23
    int viewStyle = 0;                  // line 24
};

// Resets the connection to its defaults, then reads the file at `path` (a file-system path) over
// `settings`. False when there is no file (or it cannot be opened): then only the connection
// defaults were set. A missing line reads as empty text or 0; numbers are read with ParseIntOrZero;
// the user name is cut to 16 bytes at a character boundary; a read error keeps the values not yet
// read as they were.
bool LoadSettings(const std::string& path, SavedSettings& settings);

// Writes the 24 lines (CP932, CR LF) through a new temporary file beside `path` ("<path>.tmp." and
// six random characters) that replaces it only when completely written; on failure the previous file
// stays as it was and the temporary file is removed. False on failure.
bool SaveSettings(const std::string& path, const SavedSettings& settings);
