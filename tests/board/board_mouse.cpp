#include "board_mouse.h"

#include <QLabel>
#include <QTest>
#include <QWindow>

#include "board/board_window.h"
#include "program_fixture.h"

BoardMouse::BoardMouse(TForm1& form) : form_(form) {}

BoardMouse::~BoardMouse() {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (held_ & button) {
            Release(form_.Board, EmptySpot(), button);
        }
    }
}

QPoint BoardMouse::InWindow(QWidget* at, QPoint position) const {
    return at->mapTo(&form_, position);
}

void BoardMouse::Press(QWidget* at, QPoint position, Qt::MouseButton button) {
    held_ |= button;
    QTest::mousePress(form_.windowHandle(), button, {}, InWindow(at, position));
}

void BoardMouse::Release(QWidget* at, QPoint position, Qt::MouseButton button) {
    held_ &= ~button;
    QTest::mouseRelease(form_.windowHandle(), button, {}, InWindow(at, position));
}

void BoardMouse::Move(QWidget* at, QPoint position) {
    QTest::mouseMove(form_.windowHandle(), InWindow(at, position));
}

void BoardMouse::DoubleClick(QWidget* at, QPoint position) {
    QTest::mouseDClick(form_.windowHandle(), Qt::LeftButton, {}, InWindow(at, position));
}

void BoardMouse::Select(int groupNo) {
    QLabel* icon = IconOf(form_, groupNo);
    Press(icon, QPoint(4, 4));
    Release(icon, QPoint(4, 4));
    Move(form_.Board, EmptySpot());
}
