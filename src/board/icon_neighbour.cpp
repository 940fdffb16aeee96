#include "board/icon_neighbour.h"

#include <limits>

int IconNeighbour(const std::vector<std::pair<int, QPoint>>& centres, QPoint from, BoardDirection direction) {
    int best = 0;
    long long bestCost = std::numeric_limits<long long>::max();
    for (const auto& [groupNo, centre] : centres) {
        const QPoint step = centre - from;
        const bool horizontal = direction == BoardDirection::Left || direction == BoardDirection::Right;
        const long long sign = direction == BoardDirection::Left || direction == BoardDirection::Up ? -1 : 1;
        const long long ahead = sign * (horizontal ? step.x() : step.y());
        const long long aside = horizontal ? step.y() : step.x();
        if (ahead <= 0) {
            continue;
        }
        const long long cost = ahead + 2 * (aside < 0 ? -aside : aside);
        if (cost < bestCost || (cost == bestCost && groupNo < best)) {
            best = groupNo;
            bestCost = cost;
        }
    }
    return best;
}
