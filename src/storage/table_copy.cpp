#include "storage/table_copy.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/sql_literal.h"
#include "common/trimmed.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return upper;
}

}  // namespace

bool CopyTable(Database& database, std::string_view sourceName, std::string_view targetName,
               const std::function<bool()>& alongWith) {
    const std::string_view source = Trimmed(sourceName);
    const std::string_view target = Trimmed(targetName);
    if (source.empty() || target.empty() || UpperAscii(source) == UpperAscii(target)) {
        return false;
    }
    if (!database.Attached() || !database.TableExists(source)) {
        return false;
    }
    // A table created meanwhile by someone else is emptied like one that was there.
    const bool existed = database.TableExists(target) || !CreateFileTable(database, target);

    const int rows = database.CountRows(source, {});
    const int cols = database.CountColumns(source);
    if (rows < 0 || cols <= 0) {
        return false;
    }
    // Every row is read before the first write, since each write ends the open result. The rows are
    // those the select found: another desktop may have added or removed some since the count.
    const int read = database.OpenSelect("*", source, {}, {});
    if (!database.ResultOpen()) {
        return false;
    }
    std::vector<std::string> names(cols);
    database.ReadColumnNames(names);
    std::vector<std::string> buffer(static_cast<std::size_t>(read) * cols);
    for (int i = 0; i < read; ++i) {
        std::span<std::string> row(buffer.data() + static_cast<std::size_t>(i) * cols, cols);
        if (i == 0) {
            database.ReadFirstRow(row);
        } else {
            database.ReadNextRow(row);
        }
    }
    database.CloseResult();

    return database.WriteTogether([&] {
        if (!alongWith() || (existed && !database.DeleteRows(target, {}))) {
            return false;
        }
        std::vector<std::string> values(cols);
        for (int i = 0; i < read; ++i) {
            const std::string* row = buffer.data() + static_cast<std::size_t>(i) * cols;
            values[0] = row[0];  // the number goes in bare
            for (int c = 1; c < cols; ++c) {
                values[c] = SqlText(row[c]);
            }
            if (!database.InsertRow(target, names, values)) {
                return false;
            }
        }
        return true;
    });
}
