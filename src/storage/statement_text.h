#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The exact statement texts the statement layer sends, each a list of lines joined by CR LF.

std::string JoinLines(const std::vector<std::string>& lines);

std::string CreateDatabaseText(std::string_view path, std::string_view user, std::string_view password);
std::string TableNamesText();

std::string DropTableText(std::string_view table);
std::string InsertRowText(std::string_view table, std::span<const std::string> columns,
                          std::span<const std::string> values);
std::string UpdateColumnsText(std::string_view table, std::span<const std::string> columns,
                              std::span<const std::string> values, std::string_view where);
std::string UpdateSetText(std::string_view table, std::string_view setClause, std::string_view where);
std::string DeleteRowsText(std::string_view table, std::string_view where);

std::string CountRowsText(std::string_view table, std::string_view where);
std::string CountColumnsText(std::string_view table);
std::string SelectMaxText(std::string_view table, std::string_view column, std::string_view where);
std::string OpenSelectText(std::string_view columns, std::string_view table, std::string_view where,
                           std::string_view orderBy);
