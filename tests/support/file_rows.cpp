#include "support/file_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "common/sql_literal.h"
#include "storage/schema.h"

void InsertFileRow(Database& database, int group, int number, const std::string& fileName,
                   const std::string& folder) {
    const std::array<std::string, 3> values{SqlNumber(number), SqlText(fileName), SqlText(folder)};
    ASSERT_TRUE(database.InsertRow(FileTableName(group), FileColumnNames(), values));
}

std::vector<FileRecord> ReadFileRows(Database& database, int group) {
    const int count = database.OpenSelect("*", FileTableName(group), "", "N");
    std::vector<FileRecord> rows(std::max(count, 0));
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database.ReadFirstRow(rows[i]);
        } else {
            database.ReadNextRow(rows[i]);
        }
    }
    database.CloseResult();
    return rows;
}
