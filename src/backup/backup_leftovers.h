#pragma once

#include <filesystem>

// Tidies a database's backups folder as the program attaches the database: what a run that ended in
// the middle of a backup left behind, named as only this program names it (the backup's unchecked
// file or its part, the folder of its check's temporary database in `folder` or `checkFolder`), is
// removed once an hour has passed since it was last written (a younger one may belong to a backup
// another copy of the program is making); the folder and the backups in it are made readable by
// their user alone, as backups of earlier versions were not.
void TidyBackups(const std::filesystem::path& folder, const std::filesystem::path& checkFolder);
