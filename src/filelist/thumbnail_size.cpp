#include "filelist/thumbnail_size.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr std::array<int, 9> kSteps{16, 32, 48, 64, 96, 128, 160, 192, 256};

}  // namespace

int ValidThumbnailSide(int side) {
    return *std::min_element(kSteps.begin(), kSteps.end(),
                             [side](int a, int b) { return std::abs(a - side) < std::abs(b - side); });
}

int SteppedThumbnailSide(int side, int steps) {
    const auto at = std::find(kSteps.begin(), kSteps.end(), ValidThumbnailSide(side)) - kSteps.begin();
    const auto moved =
        std::clamp<std::ptrdiff_t>(at + steps, 0, static_cast<std::ptrdiff_t>(kSteps.size()) - 1);
    return kSteps[static_cast<std::size_t>(moved)];
}

QSize IconGridSize(int side) {
    if (side <= kPlainIconSide) {
        return QSize(80, 52);
    }
    // Two lines of the 13-pixel font under the picture, and a margin around.
    return QSize(std::max(80, side + 24), side + 44);
}
