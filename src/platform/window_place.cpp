#include "platform/window_place.h"

#include <QWidget>
#include <QWindow>

void PlaceWindowFrame(QWidget& window, int left, int top) {
    window.move(left, top);
    // Once the window exists, that move places its client area there until the window manager has
    // reported the frame, and the frame then stands off by its own size: the native window is told
    // that the position is its frame's. Both now agree, so showing it keeps that.
    if (window.testAttribute(Qt::WA_WState_Created) && window.windowHandle() != nullptr) {
        window.windowHandle()->setFramePosition(QPoint(left, top));
    }
}
