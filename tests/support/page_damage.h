#pragma once

#include <filesystem>

// Overwrites with garbage the records of every data page that belongs to a user table in the
// detached database file (page size 4096), keeping each page's header so that Firebird still finds
// the page where it expects it. Answers how many pages were damaged.
int DamageUserDataPages(const std::filesystem::path& databaseFile);
