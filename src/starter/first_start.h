#pragma once

#include <filesystem>
#include <string_view>

// What preparing a user's first start came to.
enum class FirstStart {
    AlreadyPrepared,      // a settings file exists; it is never touched
    Prepared,             // the database exists and a new settings file names it
    NoDataFolder,         // no data folder is known (no home folder)
    FolderNotInCodePage,  // the data folder's name cannot be kept in the settings file
    DatabaseNotCreated,
    SettingsNotWritten,
};

// The installed starter's share of a user's first start: when there is nothing at `settingsFile`,
// an embedded database QRTDB.FDB in `dataFolder` (made with the folder; an existing one is kept)
// and a settings file naming it, with every window at its designed place. When the database cannot
// be made no settings file is written, so the next start tries again.
FirstStart PrepareFirstStart(const std::filesystem::path& settingsFile,
                             const std::filesystem::path& dataFolder);

// What went wrong, for the terminal the starter was run from; empty for the two good outcomes.
std::string_view FirstStartProblem(FirstStart outcome);
