#include "storage/row_walk.h"

#include "storage/database.h"

void WalkRows(Database& database, int count, std::span<std::string> row, const std::function<void()>& visit) {
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database.ReadFirstRow(row);
        } else {
            database.ReadNextRow(row);
        }
        visit();
    }
    database.CloseResult();
}
