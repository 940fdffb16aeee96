#include "storage/row_census.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <vector>

#include "common/fingerprint.h"
#include "common/trimmed.h"
#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace {

// "GRP_" followed by digits only.
bool IsFileTable(const std::string& name) {
    return name.size() > 4 && name.starts_with("GRP_") &&
           std::all_of(name.begin() + 4, name.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Every value of a row in one text, NULL told from an empty text. Each column at its own declared
// length: a cast to a shorter text refuses a long folder name ("string right truncation"), and the
// hash sees only a value's bytes, so a value short enough for any length hashes alike.
std::string RowText(std::span<const std::string> columns) {
    std::string text;
    for (const std::string& column : columns) {
        text += (text.empty() ? "" : " || '|' || ") + ("COALESCE(" + column + ", '~')");
    }
    return text;
}

}  // namespace

std::string CensusColumns(const std::string& table) {
    // Each row's hash is cut to 31 bits, so that the sum of any table fits in 64.
    return "COUNT(*), SUM(BIN_AND(HASH(" +
           (table == kGroupTable ? RowText(GroupColumnNames()) : RowText(FileColumnNames())) +
           "), 2147483647))";
}

std::vector<std::string> CensusSources(const std::vector<std::string>& tables) {
    std::vector<std::string> sources;
    for (std::size_t first = 0; first < tables.size(); first += kCensusTablesPerStatement) {
        std::string source;
        const std::size_t end = std::min(tables.size(), first + kCensusTablesPerStatement);
        for (std::size_t i = first; i < end; ++i) {
            source += (source.empty() ? "(SELECT " : " UNION ALL SELECT ") + std::to_string(i) + ", " +
                      CensusColumns(tables[i]) + " FROM " + tables[i];
        }
        sources.push_back(source + ") AS CENSUS (T, ROWS_, DIGEST)");
    }
    return sources;
}

long long RowCensus::Groups() const {
    const auto master = tables.find(kGroupTable);
    return master == tables.end() ? 0 : master->second.rows;
}

long long RowCensus::Registrations() const {
    long long rows = 0;
    for (const auto& [name, count] : tables) {
        rows += name == kGroupTable ? 0 : count.rows;
    }
    return rows;
}

std::string RowCensus::Fingerprint() const {
    std::string text;
    for (const auto& [name, table] : tables) {
        text += name + ":" + std::to_string(table.rows) + ":" + table.digest + ";";
    }
    return ::Fingerprint(text);
}

std::optional<std::vector<std::string>> ListGroupTables(const CensusSelect& select) {
    const auto rows =
        select("RDB$RELATION_NAME", "RDB$RELATIONS", "RDB$VIEW_BLR IS NULL AND RDB$SYSTEM_FLAG = 0");
    if (!rows) {
        return std::nullopt;
    }
    std::vector<std::string> tables;
    for (const std::vector<std::string>& row : *rows) {
        std::string name(TrimmedRight(row.at(0)));
        if (name == kGroupTable || IsFileTable(name)) {
            tables.push_back(std::move(name));
        }
    }
    std::sort(tables.begin(), tables.end());  // two listings compare alike whatever order rows come in
    return tables;
}

std::optional<RowCensus> TakeCensus(const CensusSelect& select) {
    const std::optional<std::vector<std::string>> tables = ListGroupTables(select);
    if (!tables) {
        return std::nullopt;
    }
    RowCensus census;
    for (const std::string& source : CensusSources(*tables)) {
        const auto rows = select("*", source, "");
        if (!rows) {
            return std::nullopt;
        }
        for (const std::vector<std::string>& row : *rows) {
            const std::size_t index = row.size() == 3 ? std::stoul("0" + row[0]) : tables->size();
            if (index >= tables->size()) {
                return std::nullopt;
            }
            census.tables[(*tables)[index]] = TableCensus{std::stoll("0" + row[1]), row[2]};
        }
    }
    // Every table answers: one that did not was not counted.
    if (census.tables.size() != tables->size()) {
        return std::nullopt;
    }
    return census;
}

std::optional<RowCensus> CountGroupRows(Database& database) {
    std::optional<RowCensus> census =
        TakeCensus([&](const std::string& columns, const std::string& table, const std::string& where) {
            std::optional<std::vector<std::vector<std::string>>> rows;
            const int count = database.OpenSelect(columns, table, where, "");
            if (database.ResultOpen()) {
                rows.emplace();
                std::array<std::string, 3> row;
                WalkRows(database, count, row, [&] { rows->emplace_back(row.begin(), row.end()); });
            }
            return rows;
        });
    database.CloseStatement();
    return census;
}
