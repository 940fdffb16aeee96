#include "platform/painting_wait.h"

#include <QCoreApplication>

void WaitWhilePainting(const std::function<bool()>& waitABit) {
    while (!waitABit()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}
