#include "storage/row_census.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace {

// "GRP_" followed by digits only.
bool IsFileTable(const std::string& name) {
    return name.size() > 4 && name.starts_with("GRP_") &&
           std::all_of(name.begin() + 4, name.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::optional<std::vector<std::string>> GroupTables(Database& database) {
    const int count = database.OpenSelect("RDB$RELATION_NAME", "RDB$RELATIONS",
                                          "RDB$VIEW_BLR IS NULL AND RDB$SYSTEM_FLAG = 0", "");
    if (!database.ResultOpen()) {
        return std::nullopt;
    }
    std::vector<std::string> tables;
    std::array<std::string, 1> row;
    WalkRows(database, count, row, [&] {
        std::string name = row[0].substr(0, row[0].find_last_not_of(' ') + 1);
        if (name == kGroupTable || IsFileTable(name)) {
            tables.push_back(std::move(name));
        }
    });
    return tables;
}

}  // namespace

long long RowCensus::Groups() const {
    const auto master = tables.find(kGroupTable);
    return master == tables.end() ? 0 : master->second;
}

long long RowCensus::Registrations() const {
    long long rows = 0;
    for (const auto& [name, count] : tables) {
        rows += name == kGroupTable ? 0 : count;
    }
    return rows;
}

std::optional<RowCensus> CountGroupRows(Database& database) {
    const std::optional<std::vector<std::string>> tables = GroupTables(database);
    if (!tables) {
        return std::nullopt;
    }
    RowCensus census;
    for (const std::string& table : *tables) {
        const int rows = database.CountRows(table, "");
        if (rows < 0) {
            database.CloseStatement();
            return std::nullopt;
        }
        census.tables[table] = rows;
    }
    database.CloseStatement();
    return census;
}
