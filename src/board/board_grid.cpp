#include "board/board_grid.h"

namespace {

constexpr int kCellSize = 64;
constexpr int kInset = kCellSize / 4;

}  // namespace

int GridColumns(int clientWidth) {
    return clientWidth / kCellSize + 1;
}

GridCell GridCellOf(int index, int columns) {
    return GridCell{index % columns * kCellSize + kInset, index / columns * kCellSize};
}
