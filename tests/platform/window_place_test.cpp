#include <gtest/gtest.h>

#include <QRect>

#include "platform/window_place.h"

TEST(FrameInside, aFrameIsMovedInAsLittleAsItTakesAndNeverLargerThanTheScreen) {
    const QRect screen(0, 0, 1024, 600);  // a small laptop's, below its panel
    const struct {
        QRect wanted;
        QRect placed;
    } cases[] = {
        {{200, 10, 642, 585}, {200, 10, 642, 585}},   // on the screen: as it is
        {{300, 400, 642, 585}, {300, 15, 642, 585}},  // off the lower edge: up
        {{900, -30, 642, 585}, {382, 0, 642, 585}},   // off the right and the top
        {{-50, 100, 1200, 700}, {0, 0, 1024, 600}},   // larger than the screen
    };
    for (const auto& each : cases) {
        EXPECT_EQ(FrameInside(each.wanted, screen), each.placed);
    }
    EXPECT_EQ(FrameInside({1300, 900, 642, 585}, QRect(1280, 0, 1280, 1024)), QRect(1300, 439, 642, 585));
}
