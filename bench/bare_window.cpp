// The floor of the start-up: a Qt program that opens one empty window with the main window's
// caption and size, and nothing else.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Qartoグループ管理"));
    window.resize(608, 301);
    window.show();
    return QApplication::exec();
}
