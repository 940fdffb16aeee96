#include <QFile>
#include <QTest>

#include "board/program_fixture.h"
#include "desktop_skip.h"

namespace {

// Under a window manager that draws frames, every window stands where the settings file says, by its
// frame's top-left corner, and closing writes back exactly what was read.
class WindowPlaces : public ProgramTest {
protected:
    void SetUp() override {
        if (!DesktopUnavailable().empty()) {
            GTEST_SKIP() << "no private desktop: " << DesktopUnavailable();
        }
    }

    QList<QWidget*> AllWindows() {
        return {&windows->form1, &windows->form2, &windows->form3, &windows->form4, &windows->form5};
    }

    // Starts the program and shows every window, each once the window manager has framed it.
    void StartAndShowAll() {
        Start();
        for (QWidget* window : AllWindows()) {
            window->show();
            ASSERT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }, 5000))
                << window->objectName().toStdString() << " was never framed";
        }
        QTest::qWait(200);  // the window manager's last configure notices
    }

    QByteArray CloseAndReadGeometryLines() {
        board().close();
        windows.reset();
        QFile file(SettingsPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().split('\n').mid(4, 14).join('\n');
    }
};

}  // namespace

TEST_F(WindowPlaces, closeStartCloseKeepsEveryWindowWhereItStood) {
    SavedSettings saved = DesignedSettings(ConnectionSettings::Defaults());
    saved.mainWindow = WindowRect{300, 200, 640, 320};
    saved.databaseDialog = WindowPlace{320, 240};
    saved.fileList = WindowRect{340, 260, 500, 300};  // narrower than its buttons
    saved.createDialog = WindowPlace{360, 280};
    saved.editDialog = WindowPlace{380, 300};
    WriteSettings(saved, SettingsPath());

    StartAndShowAll();
    const QList<QPoint> places{{300, 200}, {320, 240}, {340, 260}, {360, 280}, {380, 300}};
    for (int i = 0; i < places.size(); ++i) {
        EXPECT_EQ(AllWindows()[i]->frameGeometry().topLeft(), places[i])
            << AllWindows()[i]->objectName().toStdString();
    }
    EXPECT_EQ(board().ClientSize(), QSize(640, 320));
    const QByteArray first = CloseAndReadGeometryLines();
    EXPECT_TRUE(first.startsWith("300\r\n200\r\n640\r\n320\r\n320\r\n240\r\n340\r\n260\r\n"))
        << first.toStdString();

    StartAndShowAll();
    EXPECT_EQ(CloseAndReadGeometryLines(), first);
}
