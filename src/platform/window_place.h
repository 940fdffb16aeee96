#pragma once

class QRect;
class QWidget;

// Puts a window's outer frame (title bar and borders included) with its top-left corner at left, top,
// whether or not the window exists on the screen yet. This is the position the window reports and
// the settings file keeps, so a window put back where it was read stands exactly there again.
void PlaceWindowFrame(QWidget& window, int left, int top);

// The frame `wanted` made to stand wholly inside `available` (a screen's free area): no larger than
// it, and moved in as little as it takes.
QRect FrameInside(const QRect& wanted, const QRect& available);
