#pragma once

#include "storage/records.h"

class Database;

// The master row of group `groupNo`; every text empty when there is no such row or it cannot be
// read.
GroupRecord ReadGroupRow(Database& database, int groupNo);
// The master row of the group `seen` shows, while its number, texts and picture are still as seen;
// every text empty otherwise.
GroupRecord ReadGroupRowAsSeen(Database& database, const GroupRecord& seen);
