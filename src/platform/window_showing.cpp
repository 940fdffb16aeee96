#include "platform/window_showing.h"

#include <QEvent>
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

}  // namespace

void OnEveryShowing(QWidget& window, std::function<void()> handler) {
    window.installEventFilter(new ShowingFilter(&window, std::move(handler)));
}
