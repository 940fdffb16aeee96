#include "storage/group_presence.h"

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/schema.h"

bool GroupExists(Database& database, std::int64_t groupNo) {
    return database.CountRows(kGroupTable, "N=" + SqlNumber(groupNo)) > 0;
}

bool GroupDeleted(Database& database, std::int64_t groupNo) {
    return database.CountRows(kGroupTable, "N=" + SqlNumber(groupNo)) == 0;
}

bool EmptyLeftoverFileTable(Database& database, std::int64_t groupNo) {
    const std::string table = FileTableName(groupNo);
    if (!database.TableExists(table)) {
        return true;
    }
    // Emptied rather than dropped: a DROP needs the table free on every desktop, and the new group
    // takes the table over as its own.
    return database.DeleteRows(table, "");
}
