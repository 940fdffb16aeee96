#pragma once

#include <functional>
#include <span>
#include <string>

class Database;

// Walks the `count` rows of the result OpenSelect left open, each read into `row` before `visit`
// sees it, then closes the result.
void WalkRows(Database& database, int count, std::span<std::string> row, const std::function<void()>& visit);
