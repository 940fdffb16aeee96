#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <utility>

#include "board/board_window.h"

void TForm1::MarkSelected(int groupNo) {
    markedGroup_ = groupNo;
    const GroupSlot* slot = GroupSlots.LiveSlot(groupNo);
    if (slot == nullptr) {
        SelectionMark->hide();
        return;
    }
    SelectionMark->setGeometry(
        slot->Image->geometry().united(slot->Label->geometry()).adjusted(-2, -2, 2, 2));
    SelectionMark->lower();
    SelectionMark->show();
}

bool TForm1::BoardKeyPress(const QKeyEvent& event) {
    if (event.modifiers() & ~Qt::KeypadModifier) {
        return false;
    }
    static constexpr std::pair<int, BoardDirection> kArrows[] = {{Qt::Key_Left, BoardDirection::Left},
                                                                 {Qt::Key_Right, BoardDirection::Right},
                                                                 {Qt::Key_Up, BoardDirection::Up},
                                                                 {Qt::Key_Down, BoardDirection::Down}};
    for (const auto& [key, direction] : kArrows) {
        if (event.key() == key) {
            SelectToward(direction);
            return true;
        }
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            mnuOpenGroupClick();
            return true;
        case Qt::Key_F2:
            mnuEditGroupClick();
            return true;
        case Qt::Key_Delete:
            mnuDeleteGroupClick();
            return true;
        default:
            return false;
    }
}

void TForm1::SelectToward(BoardDirection direction) {
    if (IconPressed) {
        return;
    }
    std::vector<std::pair<int, QPoint>> centres;
    GroupSlots.ForEachLive([&centres](int groupNo, GroupSlot& slot) {
        centres.emplace_back(groupNo, slot.Image->geometry().center());
    });
    if (centres.empty()) {
        return;
    }
    int next = 0;
    if (const GroupSlot* selected = GroupSlots.LiveSlot(SelectedGroup)) {
        next = IconNeighbour(centres, selected->Image->geometry().center(), direction);
    } else {
        // Nothing selected yet: any arrow starts at the top left.
        next = std::min_element(centres.begin(), centres.end(), [](const auto& a, const auto& b) {
                   return std::pair(a.second.y(), a.second.x()) < std::pair(b.second.y(), b.second.x());
               })->first;
    }
    if (next != 0) {
        SelectGroup(next);
    }
}
