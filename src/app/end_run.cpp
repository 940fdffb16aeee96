#include "app/end_run.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

// A dialog that will not close must not keep the program from ending.
constexpr int kDialogTries = 100;
constexpr int kTryIntervalMs = 10;

void EndRunAfterDialogs(QWidget& mainWindow, int triesLeft) {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && triesLeft > 0) {
        modal->close();
        QTimer::singleShot(kTryIntervalMs, &mainWindow,
                           [&mainWindow, triesLeft] { EndRunAfterDialogs(mainWindow, triesLeft - 1); });
        return;
    }
    mainWindow.close();
    QApplication::quit();
}

}  // namespace

void EndRun(QWidget& mainWindow) {
    EndRunAfterDialogs(mainWindow, kDialogTries);
}
