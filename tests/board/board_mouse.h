#pragma once

#include <QPoint>
#include <Qt>

class QWidget;
class TForm1;

// The mouse on the board's window as the window system delivers it: a press grabs the mouse for
// the widget under it until release, and two quick clicks make a double-click. Positions are in
// the coordinates of the widget named, and may lie outside the window.
class BoardMouse {
public:
    explicit BoardMouse(TForm1& form);
    // A button a test left held is released, so the next test starts with none.
    ~BoardMouse();

    void Press(QWidget* at, QPoint position, Qt::MouseButton button = Qt::LeftButton);
    void Release(QWidget* at, QPoint position, Qt::MouseButton button = Qt::LeftButton);
    // Buttons pressed before stay held.
    void Move(QWidget* at, QPoint position);
    void DoubleClick(QWidget* at, QPoint position);
    // A click on the group's icon completed by a movement over the empty board.
    void Select(int groupNo);
    // A point of the board that no test puts an icon or caption on.
    QPoint EmptySpot() const { return QPoint(520, 170); }

private:
    QPoint InWindow(QWidget* at, QPoint position) const;

    TForm1& form_;
    Qt::MouseButtons held_;
};
