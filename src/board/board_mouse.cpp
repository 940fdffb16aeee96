#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "board/board_paint.h"
#include "board/board_window.h"
#include "board/read_group_row.h"
#include "platform/codec.h"
#include "storage/schema.h"

namespace {

// Takes the mouse events of the board and of every icon where they first arrive. An icon's event
// that went on to the board would be handled a second time there.
class BoardMouseRouter : public QObject {
public:
    explicit BoardMouseRouter(TForm1& form) : QObject(&form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);  // only widgets are routed here
        const bool icon = widget != form_.Board;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (icon) {
                    const QPoint pressed = static_cast<QMouseEvent*>(event)->position().toPoint();
                    form_.GroupIconMouseDown(widget, pressed.x(), pressed.y());
                }
                return icon;
            case QEvent::MouseMove: {
                const auto* move = static_cast<QMouseEvent*>(event);
                form_.FormMouseMove(move->buttons(), move->globalPosition().toPoint());
                return true;
            }
            case QEvent::MouseButtonDblClick:
                if (icon) {
                    form_.GroupIconDblClick(widget);
                }
                return icon;
            default:
                return false;
        }
    }

private:
    TForm1& form_;
};

void PaintCaption(QLabel* caption, const QColor& color) {
    Paint(caption, QPalette::Window, color);
}

}  // namespace

void TForm1::StartMouseRouting() {
    mouseRouter_ = new BoardMouseRouter(*this);
    RouteMouse(Board);
}

void TForm1::RouteMouse(QWidget* widget) {
    // Movements without a button reach a widget only while it tracks the mouse.
    widget->setMouseTracking(true);
    widget->installEventFilter(mouseRouter_);
}

void TForm1::GroupIconMouseDown(QWidget* Sender, int X, int Y) {
    if (IconPressed) {
        return;
    }
    GrabX = X;
    GrabY = Y;
    DragGroup = Sender->property("tag").toInt();
    IconPressed = true;
    Board->setFocus();
}

void TForm1::FormMouseMove(Qt::MouseButtons buttons, QPoint cursorOnScreen) {
    if (!IconPressed) {
        return;
    }
    if (buttons & Qt::LeftButton) {
        DragStep(cursorOnScreen);
    } else {
        CompletePress();
    }
}

void TForm1::GroupIconDblClick(QWidget* Sender) {
    const int groupNo = Sender->property("tag").toInt();
    if (IconPressed && DragGroup == groupNo) {
        CompletePress();
    } else if (GroupSlots.LiveSlot(groupNo) != nullptr) {
        DropPress();
        ShowDetails(groupNo);
        SelectedGroup = groupNo;
    }
    OpenSelectedGroup();
}

void TForm1::DragStep(QPoint cursorOnScreen) {
    GroupSlot* slot = GroupSlots.LiveSlot(DragGroup);
    if (slot == nullptr) {
        return;
    }
    // The pressed point of the icon stays under the cursor, wherever the cursor goes.
    const QPoint topLeft = cursorOnScreen - Board->mapToGlobal(QPoint(0, 0)) - QPoint(GrabX, GrabY);
    PlaceIcon(*slot, topLeft.x(), topLeft.y());
    PaintCaption(slot->Label, kSilver);
    if (DragGroup != SelectedGroup) {
        ShowDetails(DragGroup);
    }
    SelectedGroup = DragGroup;
}

void TForm1::CompletePress() {
    if (GroupSlot* slot = GroupSlots.LiveSlot(DragGroup)) {
        StorePosition(DragGroup, *slot);
        PaintCaption(slot->Label, palette().color(QPalette::Window));
    }
    ShowDetails(DragGroup);
    IconPressed = false;
    SelectedGroup = DragGroup;
    DragGroup = 0;
}

void TForm1::DropPress() {
    // A press dropped before its completion leaves no caption marked as being dragged.
    if (GroupSlot* slot = GroupSlots.LiveSlot(DragGroup)) {
        PaintCaption(slot->Label, palette().color(QPalette::Window));
    }
    IconPressed = false;
    DragGroup = 0;
}

void TForm1::ShowDetails(int groupNo) {
    ShowDetailsRow(ReadGroupRow(database_, groupNo));
    MarkSelected(groupNo);
}

void TForm1::ShowDetailsRow(const GroupRecord& row) {
    shownGroup_ = row;
    Edit1->setText(FromCp932(row[kGroupName]));
    Edit2->setText(FromCp932(row[kGroupAuthor]));
    Edit3->setText(FromCp932(row[kGroupN]));
    Edit4->setText(FromCp932(row[kGroupMainTitle]));
    Edit5->setText(FromCp932(row[kGroupSubTitle]));
}
