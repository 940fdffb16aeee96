#pragma once

#include <QString>

#include "common/connection_settings.h"
#include "common/file_copy_buffer.h"
#include "common/folder_mapping.h"
#include "platform/file_looks.h"

class Prompts;
class Shell;

// The process-wide state that every window shares. main() makes one; each test makes its own,
// with its own temporary application folder.
struct AppContext {
    ConnectionSettings settings = ConnectionSettings::Defaults();
    // The executable's full path; the application folder and the settings file derive from it when
    // the main window is first shown.
    QString executablePath;
    QString appDir;  // the executable's folder, ending in the folder separator
    QString settingsFileName;
    FileCopyBuffer fileCopyBuffer;
    // This desktop's folder mappings, read from the preferences when the main window is shown.
    FolderMappings folderMappings;
    // Where the search keeps an index of each database; none is kept when it is empty.
    QString searchIndexFolder;
    Prompts* prompts = nullptr;  // never null while windows exist
    Shell* shell = nullptr;      // never null while windows exist
    // Where the windows look at registered files; tests give a look of their own.
    FileLooks* fileLooks = &FileLooks::Program();
};
