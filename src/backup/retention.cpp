#include "backup/retention.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace {

constexpr std::size_t kNewestKept = 7;
constexpr std::int64_t kWeeksKept = 4;
constexpr std::int64_t kDay = 24 * 3600;
constexpr std::int64_t kWeek = 7 * kDay;

// Weeks run from Monday 00:00 UTC (1970-01-01 was a Thursday). Fixed weeks, not ones counted back
// from today, so that a week's newest backup stays its newest as days pass and is not let go.
std::int64_t WeekOf(std::int64_t time) {
    const std::int64_t shifted = time + 3 * kDay;
    return shifted >= 0 ? shifted / kWeek : (shifted - kWeek + 1) / kWeek;
}

}  // namespace

std::vector<std::size_t> BackupsToDelete(const std::vector<std::int64_t>& times) {
    std::vector<std::size_t> order(times.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return times[a] > times[b]; });
    if (order.size() <= kNewestKept) {
        return {};
    }
    std::set<std::size_t> kept(order.begin(), order.begin() + kNewestKept);
    const std::int64_t newestWeek = WeekOf(times[order[kNewestKept - 1]]);
    std::set<std::int64_t> weeksTaken;
    // Newest first: the first one met in a week is that week's newest.
    for (auto i = order.begin() + kNewestKept; i != order.end(); ++i) {
        const std::int64_t week = WeekOf(times[*i]);
        if (week < newestWeek && week >= newestWeek - kWeeksKept && weeksTaken.insert(week).second) {
            kept.insert(*i);
        }
    }
    std::vector<std::size_t> deleted;
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (!kept.contains(i)) {
            deleted.push_back(i);
        }
    }
    return deleted;
}
