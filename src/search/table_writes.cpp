#include "search/table_writes.h"

#include "common/number.h"
#include "common/trimmed.h"
#include "storage/database.h"
#include "storage/row_walk.h"

namespace {

// The database's row first (its time of making in place of a table name), then one row per table
// and level: the server's (0) and the reading connection's own (1), which tells whether the server's
// counts are shared.
std::string CountsTable() {
    return "(SELECT CAST(D.MON$CREATION_DATE AS VARCHAR(63) CHARACTER SET UNICODE_FSS) AS T, -1 AS L, "
           "CAST(0 AS BIGINT) AS W, CAST(0 AS BIGINT) AS R, CURRENT_CONNECTION AS C FROM MON$DATABASE D "
           "UNION ALL SELECT TRIM(S.MON$TABLE_NAME), S.MON$STAT_GROUP, "
           "R.MON$RECORD_INSERTS + R.MON$RECORD_UPDATES + R.MON$RECORD_DELETES, "
           "R.MON$RECORD_SEQ_READS + R.MON$RECORD_IDX_READS, 0 "
           "FROM MON$TABLE_STATS S JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = S.MON$RECORD_STAT_ID "
           "WHERE (S.MON$TABLE_NAME STARTING WITH 'GRP' OR S.MON$TABLE_NAME = '" +
           std::string(kTableList) +
           "') AND (S.MON$STAT_GROUP = 0 OR S.MON$STAT_ID = (SELECT A.MON$STAT_ID FROM MON$ATTACHMENTS A "
           "WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION))) AS COUNTS";
}

}  // namespace

std::int64_t TableWrites::WritesOf(const std::string& table) const {
    const auto found = writes.find(table);
    return found == writes.end() ? 0 : found->second;
}

TableWrites ReadTableWrites(Database& database) {
    TableWrites counts;
    // The server counts once per transaction.
    database.CloseStatement();
    const int count = database.OpenSelect("*", CountsTable(), "", "");
    counts.read = database.ResultOpen() && count > 0;
    counts.database = database.Settings().DatabasePath();
    std::map<std::string, std::int64_t> ownReads;
    std::map<std::string, std::int64_t> allReads;
    std::string row[5];
    WalkRows(database, count, row, [&] {
        const std::string table(TrimmedRight(row[0]));
        const int level = ParseIntOrZero(row[1]);
        if (level < 0) {
            counts.created = table;
            counts.connection = DecimalInt64OrZero(row[4]);
        } else if (level == 0) {
            counts.writes[table] += DecimalInt64OrZero(row[2]);
            allReads[table] += DecimalInt64OrZero(row[3]);
        } else {
            ownReads[table] += DecimalInt64OrZero(row[3]);
        }
    });
    database.CloseStatement();
    for (const auto& [table, reads] : allReads) {
        counts.shared = counts.shared || reads > ownReads[table];
    }
    return counts;
}
