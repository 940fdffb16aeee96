#include "board/board_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShowEvent>

#include "platform/app_context.h"

TForm1::TForm1(AppContext& context) : context_(context), database_(context.settings) {
    BuildLayout();
    BuildDetailsPanel();
    BuildMenu();
    StartMouseRouting();
    move(192, 107);
    SetClientSize(608, 301);
}

TForm1::~TForm1() {
    // The children freed after this destructor must no longer reach the mouse handlers.
    delete mouseRouter_;
}

void TForm1::SetWindows(const BoardWindows& windows) {
    windows_ = windows;
}

QSize TForm1::ClientSize() const {
    return QSize(width(), height() - menuBar()->heightForWidth(width()));
}

void TForm1::SetClientSize(int width, int height) {
    resize(width, height + menuBar()->heightForWidth(width));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window system also reports a restore from minimised as a show; that is no new start.
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Board && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        PlaceDetailsPanel();
    }
    return QMainWindow::eventFilter(watched, event);
}
