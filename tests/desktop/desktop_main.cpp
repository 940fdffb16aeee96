#include <gtest/gtest.h>

#include <QApplication>

#include "desktop_skip.h"
#include "window_manager.h"

// The suite runs on a private X server with a window manager, never on the developer's own desktop.
int main(int argc, char** argv) {
    PrivateDesktop desktop;
    if (desktop.display().isEmpty()) {
        DesktopUnavailable() = desktop.failure().toStdString();
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", desktop.display().toLocal8Bit());
    }
    // As the program itself runs.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
