#pragma once

#include <QPoint>
#include <utility>
#include <vector>

enum class BoardDirection { Left, Right, Up, Down };

// The group an arrow key selects from the icon centred at `from`: among the icons whose centres lie
// further that way, the nearest, a step aside counting twice a step ahead, so the arrows keep to a row
// or a column; ties go to the lower number. 0 when none lies that way.
int IconNeighbour(const std::vector<std::pair<int, QPoint>>& centres, QPoint from, BoardDirection direction);
