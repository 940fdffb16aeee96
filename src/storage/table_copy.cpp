#include "storage/table_copy.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/sql_literal.h"
#include "common/trimmed.h"
#include "storage/database.h"
#include "storage/row_walk.h"
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

    // The rows are read in the transaction that writes them and the caller's writes: what is copied
    // is the source as it stood at the moment those were checked at, and only the rows the select
    // found, whatever another desktop added or removed since the count.
    return database.WriteTogether([&] {
        const int rows = database.CountRows(source, {});
        const int cols = database.CountColumns(source);
        if (rows < 0 || cols <= 0) {
            return false;
        }
        const int read = database.OpenSelect("*", source, {}, {});
        if (!database.ResultOpen()) {
            return false;
        }
        std::vector<std::string> names(cols);
        database.ReadColumnNames(names);
        std::vector<std::string> row(cols);
        std::vector<std::vector<std::string>> buffer;
        WalkRows(database, read, row, [&] { buffer.push_back(row); });
        if (!alongWith() || (existed && !database.DeleteRows(target, {}))) {
            return false;
        }
        std::vector<std::string> values(cols);
        for (const std::vector<std::string>& copied : buffer) {
            values[0] = copied[0];  // the number goes in bare
            for (int c = 1; c < cols; ++c) {
                values[c] = SqlText(copied[c]);
            }
            if (!database.InsertRow(target, names, values)) {
                return false;
            }
        }
        return true;
    });
}
