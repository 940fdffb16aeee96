#include "board/caption_placement.h"

#include <algorithm>
#include <climits>

namespace {

// Positions come from the database and may lie at the very ends of the integer range.
int Saturated(long long position) {
    return static_cast<int>(std::clamp<long long>(position, INT_MIN, INT_MAX));
}

}  // namespace

int CaptionLeft(int iconLeft, int iconWidth, int captionWidth) {
    const int centred = Saturated(static_cast<long long>(iconLeft) + iconWidth / 2 - captionWidth / 2);
    // A caption wider than the room left of its icon would be cut at the board's edge; an icon
    // placed beyond the edge keeps its caption with it.
    return centred < 0 && iconLeft >= 0 ? 0 : centred;
}

int CaptionTop(int iconTop, int iconHeight) {
    return Saturated(static_cast<long long>(iconTop) + iconHeight + 3);
}
