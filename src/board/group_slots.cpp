#include "board/group_slots.h"

#include <algorithm>
#include <climits>

void GroupSlotTable::Reset(int count) {
    slots_.clear();
    slotCount_ = std::max(count, 0);
}

void GroupSlotTable::Append() {
    if (slotCount_ < INT_MAX) {
        ++slotCount_;
    }
}

GroupSlot* GroupSlotTable::Slot(int groupNo) {
    if (groupNo < 1 || groupNo > slotCount_) {
        return nullptr;
    }
    return &slots_[groupNo];
}

GroupSlot* GroupSlotTable::LiveSlot(int groupNo) {
    if (groupNo < 1 || groupNo > slotCount_) {
        return nullptr;
    }
    const auto found = slots_.find(groupNo);
    return found != slots_.end() && found->second.Live ? &found->second : nullptr;
}

void GroupSlotTable::ForEachLive(const std::function<void(int groupNo, GroupSlot& slot)>& visit) {
    for (auto& [groupNo, slot] : slots_) {
        if (slot.Live) {
            visit(groupNo, slot);
        }
    }
}
