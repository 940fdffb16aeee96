#pragma once

#include <filesystem>

// Overwrites with garbage the records of every data page that belongs to a user table in the
// detached database file (page size 4096), keeping each page's header so that Firebird still finds
// the page where it expects it. Answers how many pages were damaged.
int DamageUserDataPages(const std::filesystem::path& databaseFile);

// Overwrites the page that lists where the system tables' pages are (the first pointer page of
// RDB$PAGES): a database that cannot be attached because a page of it is not sound.
void DamagePageList(const std::filesystem::path& databaseFile);
// Marks the header of the detached database file as being of on-disk structure `major`.0, as
// another Firebird would have written it.
void SetOnDiskStructure(const std::filesystem::path& databaseFile, int major);
// Overwrites the header page: no database at all to Firebird.
void OverwriteHeaderPage(const std::filesystem::path& databaseFile);
