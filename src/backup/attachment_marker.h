#pragma once

#include <filesystem>

// A file beside a database's backups that exists while the program has that database attached. The
// program places it after attaching and removes it when it detaches; one found at the next attach
// tells of a run that ended without detaching (killed, a power cut, a crash).
namespace attachment_marker {

bool LeftBehind(const std::filesystem::path& backupsFolder);
// False when it cannot be placed (the folder cannot be written).
bool Place(const std::filesystem::path& backupsFolder);
void Remove(const std::filesystem::path& backupsFolder);

}  // namespace attachment_marker
