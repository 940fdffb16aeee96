#include "board/board_window.h"

#include <QKeyEvent>

#include <QCloseEvent>
#include <QMenuBar>

#include "common/designed_settings.h"
#include "platform/app_context.h"
#include "platform/window_showing.h"

TForm1::TForm1(AppContext& context)
    : context_(context), database_(context.settings), otherWindows_(DesignedSettings(context.settings)) {
    BuildLayout();
    BuildDetailsPanel();
    BuildMenu();
    StartMouseRouting();
    OnEveryShowing(*this, [this] { FormShow(); });
    move(192, 107);
    SetClientSize(608, 301);
}

TForm1::~TForm1() {
    // The children freed after this destructor must no longer reach the mouse handlers.
    delete mouseRouter_;
}

void TForm1::SetWindows(const BoardWindows& windows) {
    windows_ = windows;
    PlaceOtherWindows();
}

const BoardWindows& TForm1::Windows() {
    if (windows_.fileList == nullptr && makeWindows_) {
        makeWindows_();
    }
    return windows_;
}

QSize TForm1::ClientSize() const {
    return QSize(width(), height() - menuBar()->heightForWidth(width()));
}

void TForm1::SetClientSize(int width, int height) {
    resize(width, height + menuBar()->heightForWidth(width));
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Board && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        PlaceDetailsPanel();
    }
    if (watched == Board && event->type() == QEvent::KeyPress &&
        BoardKeyPress(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
