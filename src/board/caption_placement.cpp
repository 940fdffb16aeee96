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
    return Saturated(static_cast<long long>(iconLeft) + iconWidth / 2 - captionWidth / 2);
}

int CaptionTop(int iconTop, int iconHeight) {
    return Saturated(static_cast<long long>(iconTop) + iconHeight + 3);
}
