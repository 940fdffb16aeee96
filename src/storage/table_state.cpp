#include "storage/table_state.h"

#include "common/number.h"
#include "storage/database.h"
#include "storage/row_walk.h"

std::optional<TableState> ReadTableState(Database& database, std::string_view table) {
    std::string row[2];
    const int count = database.OpenSelect("COUNT(*), MAX(RDB$RECORD_VERSION)", table, "", "");
    WalkRows(database, count, row, [] {});
    if (count != 1) {
        return std::nullopt;
    }
    return TableState{DecimalInt64OrZero(row[0]), DecimalInt64OrZero(row[1])};
}
