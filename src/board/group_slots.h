#pragma once

#include <functional>
#include <map>

class QLabel;

// One board slot: where the group's icon was last stored, and its two controls while it is live.
struct GroupSlot {
    int X = 0;
    int Y = 0;
    QLabel* Image = nullptr;  // owned by the board
    QLabel* Label = nullptr;  // owned by the board
    bool Live = false;
};

// The board's slots by group number 1 to SlotCount. Numbers without a row, or whose icon could not
// be built, have no live slot. Only slots that were ever built take memory, so a damaged table
// with a huge group number costs nothing.
class GroupSlotTable {
public:
    int SlotCount() const { return slotCount_; }
    // Empties the table and makes `count` slots, none of them live.
    void Reset(int count);
    // One more slot, not live.
    void Append();
    // The slot of group `groupNo`; nullptr outside 1 to SlotCount.
    GroupSlot* Slot(int groupNo);
    // The slot of group `groupNo` only while its icon exists.
    GroupSlot* LiveSlot(int groupNo);
    // Every live slot in ascending group number.
    void ForEachLive(const std::function<void(int groupNo, GroupSlot& slot)>& visit);

private:
    int slotCount_ = 0;
    std::map<int, GroupSlot> slots_;
};
