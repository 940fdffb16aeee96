#include "board/read_group_row.h"

#include <string>

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/registration.h"
#include "storage/schema.h"

namespace {

GroupRecord ReadGroupRowWhere(Database& database, const std::string& where) {
    GroupRecord row;
    database.OpenSelect("*", kGroupTable, where, "");
    database.ReadFirstRow(row);
    database.CloseResult();
    return row;
}

}  // namespace

GroupRecord ReadGroupRow(Database& database, int groupNo) {
    return ReadGroupRowWhere(database, "N=" + SqlNumber(groupNo));
}

GroupRecord ReadGroupRowAsSeen(Database& database, const GroupRecord& seen) {
    return ReadGroupRowWhere(database, SameGroup(seen));
}
