#include "platform/window_place.h"

#include <QLayout>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <algorithm>

void PlaceWindowFrame(QWidget& window, int left, int top) {
    if (window.pos() == QPoint(left, top)) {
        return;  // already there: the native window is left as it is
    }
    // A window that exists places its client area at a plain move until the window manager has
    // reported the frame, and the frame then stands off by its own size. So the native window is
    // made now and told that the position is its frame's; the widget agrees with it, so showing the
    // window later keeps that. Any resize places it by its client area again, so the layout first
    // grows a window that is smaller than its contents allow, as showing it would.
    if (QLayout* layout = window.layout()) {
        layout->activate();
    }
    window.winId();
    window.move(left, top);
    if (QWindow* native = window.windowHandle()) {
        native->setFramePosition(QPoint(left, top));
    }
}

QRect FrameInside(const QRect& wanted, const QRect& available) {
    QRect frame(wanted.topLeft(), wanted.size().boundedTo(available.size()));
    frame.moveLeft(std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1));
    frame.moveTop(std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1));
    return frame;
}
