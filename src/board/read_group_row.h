#pragma once

#include "storage/records.h"

class Database;

// The master row of group `groupNo`; every text empty when there is no such row or it cannot be
// read.
GroupRecord ReadGroupRow(Database& database, int groupNo);
