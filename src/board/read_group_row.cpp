#include "board/read_group_row.h"

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/schema.h"

GroupRecord ReadGroupRow(Database& database, int groupNo) {
    GroupRecord row;
    database.OpenSelect("*", kGroupTable, "N=" + SqlNumber(groupNo), "");
    database.ReadFirstRow(row);
    database.CloseResult();
    return row;
}
