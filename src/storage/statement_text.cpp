#include "storage/statement_text.h"

#include "common/sql_literal.h"

namespace {

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text += part;
    }
    return text;
}

// One line per item: three blanks, the item (and its "=value" for assignments), a comma after
// every item but the last.
void AddListLines(std::vector<std::string>& lines, std::span<const std::string> items,
                  std::span<const std::string> assigned = {}) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string line = "   " + items[i];
        if (!assigned.empty()) {
            line += "=" + assigned[i];
        }
        if (i + 1 < items.size()) {
            line += ",";
        }
        lines.push_back(std::move(line));
    }
}

}  // namespace

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

std::string CreateDatabaseText(std::string_view path, std::string_view user, std::string_view password) {
    return Cat({"CREATE DATABASE ", SqlText(path), " ", "USER \"", user, "\"\r\n", "PASSWORD \"", password,
                "\"\r\n", "PAGE_SIZE 4096\r\n"});
}

std::string TableNamesText() {
    return "Select RDB$RELATION_NAME from RDB$RELATIONS  where RDB$VIEW_BLR is NULL and RDB$SYSTEM_FLAG = 0 "
           "ORDER BY RDB$RELATION_NAME";
}

std::string DropTableText(std::string_view table) {
    return Cat({"DROP TABLE ", table, ";"});
}

std::string InsertRowText(std::string_view table, std::span<const std::string> columns,
                          std::span<const std::string> values) {
    std::vector<std::string> lines{Cat({"INSERT INTO ", table, " ("})};
    AddListLines(lines, columns);
    lines.push_back("   ) ");
    lines.push_back("   VALUES (");
    AddListLines(lines, values.first(columns.size()));
    lines.push_back("   );");
    return JoinLines(lines);
}

std::string UpdateColumnsText(std::string_view table, std::span<const std::string> columns,
                              std::span<const std::string> values, std::string_view where) {
    std::vector<std::string> lines{Cat({"UPDATE ", table, " SET "})};
    AddListLines(lines, columns, values.first(columns.size()));
    if (!where.empty()) {
        lines.push_back(Cat({"   WHERE ", where}));
    }
    lines.push_back("   ;");
    return JoinLines(lines);
}

std::string UpdateSetText(std::string_view table, std::string_view setClause, std::string_view where) {
    std::vector<std::string> lines{Cat({"UPDATE ", table, " SET "}), Cat({"   ", setClause})};
    if (!where.empty()) {
        lines.push_back(Cat({"   WHERE ", where}));
    }
    lines.push_back("   ;");
    return JoinLines(lines);
}

std::string DeleteRowsText(std::string_view table, std::string_view where) {
    return where.empty() ? Cat({"DELETE FROM ", table, " ;"})
                         : Cat({"DELETE FROM ", table, " WHERE ", where, " ;"});
}

std::string CountRowsText(std::string_view table, std::string_view where) {
    return OpenSelectText("*", table, where, {});
}

std::string CountColumnsText(std::string_view table) {
    return JoinLines({"SELECT * ", Cat({"   FROM ", table, " ;"})});
}

std::string SelectMaxText(std::string_view table, std::string_view column, std::string_view where) {
    return OpenSelectText(Cat({"MAX(", column, ")"}), table, where, {});
}

std::string OpenSelectText(std::string_view columns, std::string_view table, std::string_view where,
                           std::string_view orderBy) {
    std::vector<std::string> lines{Cat({"SELECT ", columns, " "}), Cat({"   FROM ", table, " "})};
    if (!where.empty()) {
        lines.push_back(Cat({"   WHERE ", where, " "}));
    }
    if (!orderBy.empty()) {
        lines.push_back(Cat({"   ORDER BY ", orderBy, " "}));
    }
    lines.push_back("   ;");
    return JoinLines(lines);
}
