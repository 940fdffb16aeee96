#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/connection_settings.h"

// Where the backups live: "backups" beside the settings file when that lives beside the
// executable (a build folder, a copy unpacked anywhere); for an installed copy, whose settings live
// in the user's configuration folder, "backups" in the user's data folder.
std::filesystem::path BackupsRoot(const std::filesystem::path& settingsFile,
                                  const std::filesystem::path& executableFolder,
                                  const std::filesystem::path& userDataFolder);

// The folder name of one database's backups: its file name's letters and digits, for the eye, and a
// fingerprint of its whole path (server prefix included), so that two databases never share one.
std::string DatabaseFolderName(const ConnectionSettings& database);

// Creates a database's backups folder where it is missing and lets only its user in, with the
// "backups" folder that holds it: a backup is a whole copy of the database. False when it cannot
// be made.
bool MakeBackupsFolder(const std::filesystem::path& folder);

// What `folder` holds (nothing when it cannot be read); never throws.
std::vector<std::filesystem::path> FolderItems(const std::filesystem::path& folder);
