#pragma once

#include <QSize>

// The icon view's thumbnail side, between the plain 16-pixel icons and 256 pixels, in steps.
inline constexpr int kPlainIconSide = 16;
inline constexpr int kDefaultThumbnailSide = 128;

// The side one step larger (`steps` 1) or smaller (-1) than `side`, within the bounds.
int SteppedThumbnailSide(int side, int steps);
// A side read from the preferences, brought within the bounds onto the nearest step.
int ValidThumbnailSide(int side);
// The cell each row of the icon view takes at that side: the plain icons keep their 80 x 52.
QSize IconGridSize(int side);
