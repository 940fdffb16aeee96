#pragma once

#include <cstdint>

class Database;

// Another desktop sharing the database may delete a group while this one still shows it. Commands
// ask before they act, so that a stale view never brings a deleted group back.

// The master row of group `groupNo` is there.
bool GroupExists(Database& database, std::int64_t groupNo);
// The master table answers that group `groupNo` has no row. A table that cannot be read says nothing
// either way: the command then goes on and meets the failure itself.
bool GroupDeleted(Database& database, std::int64_t groupNo);
// A group that has just been given number `groupNo` starts with an empty file list: a file table
// of that name is one a deleted group left behind (its DROP failed while another desktop held it).
// True when no such rows remain.
bool EmptyLeftoverFileTable(Database& database, std::int64_t groupNo);
