#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// What preparing a user's first start came to.
enum class FirstStart {
    AlreadyPrepared,      // the settings file names a data folder; it is never touched
    Prepared,             // the database exists and the settings file names it
    NoDataFolder,         // no data folder is known (no home folder)
    FolderNotInCodePage,  // the data folder's name cannot be kept in the settings file
    DatabaseNotCreated,
    SettingsNotWritten,
};

// The installed starter's share of a user's first start: unless the settings file at `settingsFile`
// names a data folder, an embedded database QRTDB.FDB in `dataFolder` (made with the folder; an
// existing one is kept) and a settings file naming it. A new settings file has every window at its
// designed place; in an existing one (the program's defaults, written when an earlier preparation
// failed) only the three lines of the database's place are set and every other line stays. When the
// database cannot be made nothing is written, so the next start tries again; `firebirdReason` then
// holds Firebird's own words.
FirstStart PrepareFirstStart(const std::filesystem::path& settingsFile,
                             const std::filesystem::path& dataFolder, std::string* firebirdReason = nullptr);

// What went wrong, in the windows' style, with Firebird's reason on the lines below it when there is
// one; empty for the two good outcomes.
std::string FirstStartProblem(FirstStart outcome, std::string_view firebirdReason = {});
