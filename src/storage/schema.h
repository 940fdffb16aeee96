#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class Database;

inline constexpr const char* kGroupTable = "GRPQRT";

// The master table's column names in table order.
const std::array<std::string, 11>& GroupColumnNames();
// The file table's column names in table order.
const std::array<std::string, 3>& FileColumnNames();

// "GRP_" + n in decimal.
std::string FileTableName(std::int64_t groupNumber);

// Create the master table or one file table; false on any failure (an existing table included).
bool CreateGroupTable(Database& database);
bool CreateFileTable(Database& database, std::string_view name);
