#include "platform/window_showing.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class ShowingFilter : public QObject {
public:
    ShowingFilter(QObject* window, std::function<void()> handler)
        : QObject(window), handler_(std::move(handler)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        // The window system also reports a restore from minimised as a show; that is no new showing.
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            handler_();
        }
        return false;
    }

private:
    std::function<void()> handler_;
};

// Sees the window's first paint event, then lets the paint and the flush to the screen finish.
class FirstPaintFilter : public QObject {
public:
    FirstPaintFilter(QWidget& window, std::function<void()> then)
        : QObject(&window), then_(std::move(then)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == parent()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, parent(), std::move(then_));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> then_;
};

}  // namespace

void OnEveryShowing(QWidget& window, std::function<void()> handler) {
    window.installEventFilter(new ShowingFilter(&window, std::move(handler)));
}

void AfterFirstPaint(QWidget& window, std::function<void()> then) {
    window.installEventFilter(new FirstPaintFilter(window, std::move(then)));
}
