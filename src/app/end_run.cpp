#include "app/end_run.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "storage/database.h"

namespace {

// A dialog that will not close must not keep the program from ending.
constexpr int kDialogTries = 100;
constexpr int kTryIntervalMs = 10;

void EndRunAfterDialogs(QWidget& mainWindow, int triesLeft) {
    // A command waiting for the server is given up first: it then ends as on a lost connection.
    if (Database::Waiting() && triesLeft > 0) {
        Database::AbandonWaiting();
        QTimer::singleShot(kTryIntervalMs, &mainWindow,
                           [&mainWindow, triesLeft] { EndRunAfterDialogs(mainWindow, triesLeft - 1); });
        return;
    }
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
