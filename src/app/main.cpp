#include <QApplication>

#include "app/app_windows.h"
#include "platform/app_context.h"
#include "platform/app_title.h"
#include "platform/prompts.h"
#include "platform/shell.h"

int main(int argc, char** argv) {
    // The board is laid out in pixels and keeps its size whatever the screen's density.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication application(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());

    QtPrompts prompts;
    const std::unique_ptr<Shell> shell = MakeSystemShell();
    AppContext context;
    context.executablePath = QApplication::applicationFilePath();
    context.prompts = &prompts;
    context.shell = shell.get();

    AppWindows windows(context);
    windows.form1.show();
    windows.search.watcher.Start();
    return QApplication::exec();
}
